#include "shell/desktop/desktop_notifications.h"
#include "support/model_rig.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace {
const QString notificationsName = QStringLiteral("org.freedesktop.Notifications");
const QString notificationsPath = QStringLiteral("/org/freedesktop/Notifications");

// The desktop's notification service, played on a connection of the test's own.
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
    // Answered after every Notify sent before it: the test's way to know none is on its way.
    QStringList GetCapabilities() { return {QStringLiteral("actions")}; }
};
} // namespace

class DesktopNotificationsTest : public QObject {
    Q_OBJECT
private:
    QDBusConnection server =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("notifier"));

    // Every Notify the app sent so far has reached `fake`.
    static bool caughtUp() {
        QDBusMessage ask = QDBusMessage::createMethodCall(notificationsName, notificationsPath,
                                                          notificationsName, "GetCapabilities");
        return QDBusConnection::sessionBus().call(ask, QDBus::BlockWithGui).type() ==
               QDBusMessage::ReplyMessage;
    }

private Q_SLOTS:
    void initTestCase() {
        if (!server.isConnected())
            QSKIP("needs a session bus (scripts/with-test-session gives one)");
    }

    void toldOncePerReminderAndDoneEndsIt() {
        QJsonObject hall = unitJson("a", "Hall", true);
        hall.insert(
            "filtersCleaning",
            QJsonObject{{"shouldCleanFilters", true},
                        {"acOnSecondsSinceLastFiltersClean", 8781766},
                        {"lastFiltersCleanTime", QJsonObject{{"time", "2022-03-12T15:24:26Z"}}}});
        ModelRig rig({hall, unitJson("b", "Office", true)});
        AppModel& model = rig.startPolling();
        QSettings& store = rig.settings.store();
        store.setValue("keptBeside", 7);
        // No service owns the name yet: the reminder waits for one.
        std::optional<DesktopNotifications> app;
        app.emplace(model, store, QDBusConnection::sessionBus());
        FakeNotifications fake;
        QVERIFY(server.registerObject(notificationsPath, &fake, QDBusConnection::ExportAllSlots));
        QVERIFY(server.registerService(notificationsName));
        QTRY_COMPARE(fake.shown.size(), 1);
        QCOMPARE(fake.shown.first().first(), "Hall — clean the filter");
        QVERIFY(fake.shown.first().at(1).startsWith("Ran 2439 hours since the last cleaning on "));
        QCOMPARE(fake.shown.first().mid(2), (QStringList{"done", "Done"}));
        const QByteArray told = R"({"a":"2022-03-12T15:24:26Z"})";
        QTRY_COMPARE(store.value(DesktopNotifications::storeKey).toByteArray(), told);

        // Not again at the next listing, nor after a restart with the same store.
        rig.units[1] = unitJson("b", "Office", false);
        QVERIFY(rig.poll());
        app.emplace(model, store, QDBusConnection::sessionBus());
        QVERIFY(caughtUp());
        QCOMPARE(fake.shown.size(), 1);

        // A record that can't be read counts as none told, and costs nothing else.
        store.setValue(DesktopNotifications::storeKey, QByteArray("{\"a\":"));
        app.emplace(model, store, QDBusConnection::sessionBus());
        QTRY_COMPARE(store.value(DesktopNotifications::storeKey).toByteArray(), told);
        QCOMPARE(fake.shown.size(), 2);
        QCOMPARE(store.value("keptBeside"), 7);

        QDBusMessage done =
            QDBusMessage::createSignal(notificationsPath, notificationsName, "ActionInvoked");
        done << uint(2) << QStringLiteral("done");
        QVERIFY(server.send(done));
        const QString path = "/api/v2/pods/a/cleanFiltersNotification";
        QTRY_COMPARE(rig.service.requests("DELETE", path).size(), 1);
        QVERIFY(!model.pod("a")->isFilterDue());
        server.unregisterService(notificationsName);
    }
};

QTEST_MAIN(DesktopNotificationsTest)
#include "tst_desktop_notifications.moc"
