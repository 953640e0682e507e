#include "shell/desktop/desktop_look.h"
#include "shell/desktop/desktop_notifications.h"
#include "shell/desktop/display_platform.h"
#include "shell/desktop/sleep_watch.h"
#include "support/model_rig.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QSignalSpy>

using namespace std::chrono_literals;

namespace {
const QString notificationsName = QStringLiteral("org.freedesktop.Notifications");
const QString notificationsPath = QStringLiteral("/org/freedesktop/Notifications");

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

// The desktop's notification service.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QList<QStringList> shown; // summary, body and actions of each Notify

public Q_SLOTS:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap&, int) {
        shown.append(QStringList{summary, body} + actions);
        return uint(shown.size());
    }
    QStringList GetCapabilities() { return {QStringLiteral("actions")}; }
};

} // namespace

// The desktop's services are played on connections of the test's own to the test session's
// private bus, which here stands in for the system bus too.
class DesktopServicesTest : public QObject {
    Q_OBJECT
private:
    QDBusConnection fakes =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fakes"));

private Q_SLOTS:
    void initTestCase() { qunsetenv("ALVORE_REDUCE_MOTION"); }
    void init() {
        if (qstrcmp(QTest::currentTestFunction(), "displayPlatform") && !fakes.isConnected())
            QSKIP("needs a session bus (scripts/with-test-session gives one)");
    }
    void cleanup() {
        fakes.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
        fakes.unregisterService(notificationsName);
    }

    // xcb only on Wayland with XWayland, and only when the user chose nothing. Without a
    // display only a platform that draws without one starts, as the preview renderer's does
    // when nothing else was chosen.
    void displayPlatform() {
        using DisplayPlatform::canStart, DisplayPlatform::choose;
        QCOMPARE(
            QByteArrayList({choose("wayland-0", ":0", {}), choose("wayland-0", ":0", "wayland"),
                            choose("wayland-0", {}, {}), choose({}, ":0", {})}),
            QByteArrayList({"xcb", {}, {}, {}}));
        QVERIFY(canStart({}, ":0", {}) && canStart("wayland-0", {}, "wayland"));
        QVERIFY(!canStart({}, {}, {}) && !canStart({}, {}, "xcb") &&
                !canStart({}, {}, "wayland;xcb") && canStart({}, {}, "offscreen") &&
                canStart({}, {}, "wayland;offscreen:fontengine=freetype"));
        QCOMPARE(QByteArrayList({choose({}, {}, {}, true), choose({}, {}, "minimal", true),
                                 choose({}, ":0", {}, true)}),
                 QByteArrayList({"offscreen", {}, {}}));
    }

    void paletteDecidesWithoutPortalThenPortalDecidesAndChangesAreFollowed() {
        QVERIFY(DesktopLook(QDBusConnection::sessionBus(), QPalette(Qt::black)).isDark());
        DesktopLook light(QDBusConnection::sessionBus(), QPalette(Qt::white));
        QVERIFY(!light.isDark() && !light.reducesMotion());

        FakePortal portal;
        portal.values.insert("org.freedesktop.appearance/color-scheme", 2u); // prefers light
        portal.values.insert("org.gnome.desktop.interface/enable-animations", false);
        QVERIFY(fakes.registerObject("/org/freedesktop/portal/desktop", &portal,
                                     QDBusConnection::ExportAllSlots |
                                         QDBusConnection::ExportAllSignals));
        QVERIFY(fakes.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));

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
    }

    void toldOncePerReminderAndDoneEndsIt() {
        ModelRig rig(realUnits()); // Hall's filter is due
        AppModel& model = rig.startPolling();
        QSettings& store = rig.settings.store();
        store.setValue("keptBeside", 7);
        // No service owns the name yet: the reminder waits for one.
        std::optional<DesktopNotifications> app;
        app.emplace(model, store, QDBusConnection::sessionBus());
        FakeNotifications fake;
        QVERIFY(fakes.registerObject(notificationsPath, &fake, QDBusConnection::ExportAllSlots));
        QVERIFY(fakes.registerService(notificationsName));
        QTRY_COMPARE(fake.shown.size(), 1);
        QCOMPARE(fake.shown.first().first(), "Hall — clean the filter");
        QVERIFY(fake.shown.first().at(1).startsWith("Ran 2439 hours since the last cleaning on "));
        QCOMPARE(fake.shown.first().mid(2), (QStringList{"done", "Done"}));
        const QByteArray told = R"({"11AAbb22":"2022-03-12T15:24:26Z"})";
        QTRY_COMPARE(store.value(DesktopNotifications::storeKey).toByteArray(), told);

        // Not again at the next listing, nor after a restart with the same store.
        rig.units[1] = unitJson("b", "Office", false);
        QVERIFY(rig.poll());
        app.emplace(model, store, QDBusConnection::sessionBus());
        // GetCapabilities is answered after every Notify sent before it: none is on its way.
        QDBusMessage ask = QDBusMessage::createMethodCall(notificationsName, notificationsPath,
                                                          notificationsName, "GetCapabilities");
        QCOMPARE(QDBusConnection::sessionBus().call(ask, QDBus::BlockWithGui).type(),
                 QDBusMessage::ReplyMessage);
        QCOMPARE(fake.shown.size(), 1);

        // A record that can't be read counts as none told, and costs nothing else.
        store.setValue(DesktopNotifications::storeKey, QByteArray("{\"11AAbb22\":"));
        app.emplace(model, store, QDBusConnection::sessionBus());
        QTRY_COMPARE(store.value(DesktopNotifications::storeKey).toByteArray(), told);
        QVERIFY(fake.shown.size() == 2 && store.value("keptBeside") == 7);

        QDBusMessage done =
            QDBusMessage::createSignal(notificationsPath, notificationsName, "ActionInvoked");
        done << uint(2) << QStringLiteral("done");
        QVERIFY(fakes.send(done));
        QTRY_COMPARE(
            rig.service.requests("DELETE", "/api/v2/pods/11AAbb22/cleanFiltersNotification").size(),
            1);
        QVERIFY(!model.pod("11AAbb22")->isFilterDue());
    }

    void pollingPausesWhileAsleepAndResumesAfterTheDelay_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QString>("signal");
        const auto row = [](const char* name, const char* path, const char* interface,
                            const char* signal = "ActiveChanged") {
            QTest::newRow(name) << QString(path) << QString(interface) << QString(signal);
        };
        row("computer", "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
            "PrepareForSleep");
        row("screens", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver");
        row("screens, short path", "/ScreenSaver", "org.freedesktop.ScreenSaver");
        row("screens, GNOME", "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver");
    }
    void pollingPausesWhileAsleepAndResumesAfterTheDelay() {
        QFETCH(QString, path);
        QFETCH(QString, interface);
        QFETCH(QString, signal);
        ModelRig rig(QJsonArray{unitJson("a1", "Bedroom", true)});
        AppModel& model = rig.startPolling();
        const QDBusConnection bus = QDBusConnection::sessionBus();
        SleepWatch watch(model, rig.clock, bus, bus);
        const auto announce = [&](bool asleep) {
            QDBusMessage message = QDBusMessage::createSignal(path, interface, signal);
            message << asleep;
            QVERIFY(fakes.send(message));
        };

        announce(true);
        QTRY_VERIFY(rig.clock.pendingSleeps().isEmpty()); // the polling loop ended
        const qsizetype asked = rig.listings().size();

        // Asleep again within the delay: that wake is called off.
        announce(false);
        QVERIFY(rig.waitForSleeps({5'000}));
        announce(true);
        QTRY_VERIFY(rig.clock.pendingSleeps().isEmpty());

        announce(false);
        QVERIFY(rig.waitForSleeps({5'000})); // the network gets a moment
        rig.clock.advance(5s);
        // Listed at once, and polling goes on.
        QVERIFY(rig.waitForSleeps({60'000}) && rig.listings().size() == asked + 1);
    }
};

QTEST_MAIN(DesktopServicesTest)
#include "tst_desktop_services.moc"
