#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QObject>
#include <QPalette>
#include <QVariant>
#include <functional>
#include <optional>

class QDBusPendingCallWatcher;

// What the desktop says of its look: whether its colours are dark (the tray's glyph is drawn to
// stand out against them) and whether it asks for reduced motion. Everything is asked over
// D-Bus or from a helper process without waiting, so start-up never blocks on it; answers and
// later changes arrive as signals.
class DesktopLook : public QObject {
    Q_OBJECT
public:
    // `platformPalette` is the desktop theme's own palette, before the app puts its dark one in
    // place; it decides the colours while the settings portal on `bus` has no preference.
    DesktopLook(QDBusConnection bus, const QPalette& platformPalette, QObject* parent = nullptr);

    bool isDark() const { return portalDark.value_or(paletteDark); }
    bool reducesMotion() const { return motionReduced; }

Q_SIGNALS:
    void isDarkChanged();
    void reducesMotionChanged();

private Q_SLOTS:
    // The portal's SettingChanged(group, key, value).
    void settingChanged(const QDBusMessage& change);

private:
    // Reads one setting from the portal; `use` gets the value, or nothing when it is missing.
    void read(const QString& group, const QString& key,
              std::function<void(const std::optional<QVariant>&)> use);
    void useColorScheme(const std::optional<QVariant>& value);
    void useAnimations(const std::optional<QVariant>& value);
    void askGsettingsForAnimations();
    void setReducesMotion(bool reduces);

    QDBusConnection portalBus;
    bool paletteDark;
    std::optional<bool> portalDark; // absent: no preference, or no portal
    bool motionReduced = false;
    bool motionForced = false; // ALVORE_REDUCE_MOTION=1 reduces motion whatever the desktop says
};
