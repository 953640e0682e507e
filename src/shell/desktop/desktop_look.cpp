#include "shell/desktop/desktop_look.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QProcess>
#include <QStandardPaths>

namespace {
const auto portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const auto portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const auto settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const auto appearanceGroup = QStringLiteral("org.freedesktop.appearance");
const auto colorSchemeKey = QStringLiteral("color-scheme");
const auto interfaceGroup = QStringLiteral("org.gnome.desktop.interface");
const auto animationsKey = QStringLiteral("enable-animations");

// The portal wraps a setting's value in one or two variants, depending on its version.
QVariant unwrapped(QVariant value) {
    while (value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}
} // namespace

DesktopLook::DesktopLook(QDBusConnection bus, const QPalette& platformPalette, QObject* parent)
    : QObject(parent), portalBus(std::move(bus)),
      paletteDark(platformPalette.color(QPalette::Window).lightness() < 128) {
    motionForced = qEnvironmentVariable("ALVORE_REDUCE_MOTION") == u"1";
    motionReduced = motionForced;
    // Any sender: the portal's name may be taken only after this starts.
    portalBus.connect(QString(), portalPath, settingsInterface, QStringLiteral("SettingChanged"),
                      this, SLOT(settingChanged(QDBusMessage)));
    read(appearanceGroup, colorSchemeKey,
         [this](const std::optional<QVariant>& value) { useColorScheme(value); });
    if (!motionForced)
        read(interfaceGroup, animationsKey, [this](const std::optional<QVariant>& value) {
            if (value)
                useAnimations(value);
            else
                askGsettingsForAnimations();
        });
}

void DesktopLook::read(const QString& group, const QString& key,
                       std::function<void(const std::optional<QVariant>&)> use) {
    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface,
                                                       QStringLiteral("Read"));
    call << group << key;
    auto* watcher = new QDBusPendingCallWatcher(portalBus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [use = std::move(use)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *finished;
                use(reply.isError() ? std::nullopt : std::optional(unwrapped(reply.argumentAt(0))));
            });
}

void DesktopLook::settingChanged(const QDBusMessage& change) {
    const QList<QVariant> arguments = change.arguments();
    if (arguments.size() < 3)
        return;
    const QString group = arguments.at(0).toString();
    const QString key = arguments.at(1).toString();
    if (group == appearanceGroup && key == colorSchemeKey)
        useColorScheme(unwrapped(arguments.at(2)));
    else if (group == interfaceGroup && key == animationsKey)
        useAnimations(unwrapped(arguments.at(2)));
}

void DesktopLook::useColorScheme(const std::optional<QVariant>& value) {
    // 1 prefers dark, 2 prefers light, anything else leaves it to the theme.
    const uint scheme = value ? value->toUInt() : 0;
    const bool wasDark = isDark();
    portalDark = scheme == 1   ? std::optional(true)
                 : scheme == 2 ? std::optional(false)
                               : std::nullopt;
    if (isDark() != wasDark)
        Q_EMIT isDarkChanged();
}

void DesktopLook::useAnimations(const std::optional<QVariant>& value) {
    if (!motionForced && value && value->canConvert<bool>())
        setReducesMotion(!value->toBool());
}

void DesktopLook::askGsettingsForAnimations() {
    const QString gsettings = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (gsettings.isEmpty())
        return;
    auto* process = new QProcess(this);
    connect(process, &QProcess::finished, this,
            [this, process](int exitCode, QProcess::ExitStatus status) {
                process->deleteLater();
                if (status == QProcess::NormalExit && exitCode == 0 &&
                    process->readAllStandardOutput().trimmed() == "false")
                    setReducesMotion(true);
            });
    connect(process, &QProcess::errorOccurred, process, &QObject::deleteLater);
    process->start(gsettings, {QStringLiteral("get"), interfaceGroup, animationsKey});
}

void DesktopLook::setReducesMotion(bool reduces) {
    if (reduces == motionReduced)
        return;
    motionReduced = reduces;
    Q_EMIT reducesMotionChanged();
}
