#include "shell/desktop/sleep_watch.h"
#include "support/model_rig.h"

#include <QDBusMessage>

using namespace std::chrono_literals;

// The signals come over the test session's private bus, which here stands in for the system
// bus too.
class SleepWatchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a session bus (scripts/with-test-session gives one)");
    }

    void pollingPausesWhileAsleepAndResumesAfterTheDelay_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QString>("signal");
        const QString screenSaver("org.freedesktop.ScreenSaver");
        QTest::newRow("computer") << "/org/freedesktop/login1"
                                  << "org.freedesktop.login1.Manager"
                                  << "PrepareForSleep";
        QTest::newRow("screens") << "/org/freedesktop/ScreenSaver" << screenSaver
                                 << "ActiveChanged";
        QTest::newRow("screens, short path") << "/ScreenSaver" << screenSaver << "ActiveChanged";
        QTest::newRow("screens, GNOME") << "/org/gnome/ScreenSaver"
                                        << "org.gnome.ScreenSaver"
                                        << "ActiveChanged";
    }
    void pollingPausesWhileAsleepAndResumesAfterTheDelay() {
        QFETCH(QString, path);
        QFETCH(QString, interface);
        QFETCH(QString, signal);
        ModelRig rig(QJsonArray{unitJson("a1", "Bedroom", true)});
        AppModel& model = rig.startPolling();
        const QDBusConnection bus = QDBusConnection::sessionBus();
        SleepWatch watch(model, rig.clock, bus, bus);
        QDBusConnection sender = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                               QStringLiteral("sleep-test-sender"));
        const auto announce = [&](bool asleep) {
            QDBusMessage message = QDBusMessage::createSignal(path, interface, signal);
            message << asleep;
            QVERIFY(sender.send(message));
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
        QVERIFY(rig.waitForSleeps({60'000})); // listed at once, and polling goes on
        QCOMPARE(rig.listings().size(), asked + 1);
        QDBusConnection::disconnectFromBus(QStringLiteral("sleep-test-sender"));
    }
};

QTEST_GUILESS_MAIN(SleepWatchTest)
#include "tst_sleep_watch.moc"
