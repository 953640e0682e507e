#include "shell/desktop/desktop_look.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusVariant>
#include <QSignalSpy>
#include <QTest>

namespace {
const auto portalName = QStringLiteral("org.freedesktop.portal.Desktop");
} // namespace

// A settings portal serving the values it holds, each wrapped twice as older portals do.
class FakePortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    QHash<QString, QVariant> values; // "group/key" -> value

Q_SIGNALS:
    void SettingChanged(const QString&, const QString&, const QDBusVariant&);

public Q_SLOTS:
    QDBusVariant Read(const QString& group, const QString& key) {
        const QVariant value = values.value(group + u'/' + key);
        if (!value.isValid())
            sendErrorReply("org.freedesktop.portal.Error.NotFound", "no such setting");
        return QDBusVariant(QVariant::fromValue(QDBusVariant(value)));
    }
};

class DesktopLookTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a session bus (scripts/with-test-session gives one)");
        qunsetenv("ALVORE_REDUCE_MOTION");
    }

    void paletteDecidesWithoutPortalThenPortalDecidesAndChangesAreFollowed() {
        QVERIFY(DesktopLook(QDBusConnection::sessionBus(), QPalette(Qt::black)).isDark());
        DesktopLook light(QDBusConnection::sessionBus(), QPalette(Qt::white));
        QVERIFY(!light.isDark() && !light.reducesMotion());

        QDBusConnection bus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("portal"));
        FakePortal portal;
        portal.values.insert("org.freedesktop.appearance/color-scheme", 2u); // prefers light
        portal.values.insert("org.gnome.desktop.interface/enable-animations", false);
        QVERIFY(bus.registerObject("/org/freedesktop/portal/desktop", &portal,
                                   QDBusConnection::ExportAllSlots |
                                       QDBusConnection::ExportAllSignals));
        QVERIFY(bus.registerService(portalName));

        DesktopLook look(QDBusConnection::sessionBus(), QPalette(Qt::black));
        QSignalSpy darkChanged(&look, &DesktopLook::isDarkChanged);
        QTRY_VERIFY(!look.isDark());
        QTRY_VERIFY(look.reducesMotion());

        // The desktop switches to dark, then back to no preference (the dark palette).
        const auto announce = [&](uint scheme) {
            Q_EMIT portal.SettingChanged("org.freedesktop.appearance", "color-scheme",
                                         QDBusVariant(QVariant::fromValue(scheme)));
        };
        announce(1);
        QTRY_COMPARE(darkChanged.size(), 2);
        QVERIFY(look.isDark());
        announce(0);
        announce(2);
        QTRY_COMPARE(darkChanged.size(), 3);
        QVERIFY(!look.isDark());

        bus.unregisterService(portalName);
        QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
    }
};

QTEST_GUILESS_MAIN(DesktopLookTest)
#include "tst_desktop_look.moc"
