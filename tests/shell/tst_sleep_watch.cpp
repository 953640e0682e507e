#include "shell/sleep_watch.h"
#include "support/model_rig.h"

#include <QDBusMessage>
#include <QElapsedTimer>

using namespace std::chrono_literals;

namespace {
constexpr auto wakeDelay = 300ms;
} // namespace

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
        QTest::newRow("computer") << "/org/freedesktop/login1"
                                  << "org.freedesktop.login1.Manager"
                                  << "PrepareForSleep";
        QTest::newRow("screens") << "/org/freedesktop/ScreenSaver"
                                 << "org.freedesktop.ScreenSaver"
                                 << "ActiveChanged";
        QTest::newRow("screens, short path") << "/ScreenSaver"
                                             << "org.freedesktop.ScreenSaver"
                                             << "ActiveChanged";
    }
    void pollingPausesWhileAsleepAndResumesAfterTheDelay() {
        QFETCH(QString, path);
        QFETCH(QString, interface);
        QFETCH(QString, signal);
        ModelRig rig;
        rig.units = {unitJson("a1", "Bedroom", true)};
        AppModel& model = rig.startPolling();
        const QDBusConnection bus = QDBusConnection::sessionBus();
        SleepWatch watch(model, bus, bus, wakeDelay);
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

        QElapsedTimer sinceWake;
        announce(false);
        sinceWake.start();
        QTRY_COMPARE(rig.listings().size(), asked + 1);
        QVERIFY2(sinceWake.elapsed() >= 250, qPrintable(QString::number(sinceWake.elapsed())));
        QVERIFY(rig.waitForSleeps({60'000})); // polling goes on
        QDBusConnection::disconnectFromBus(QStringLiteral("sleep-test-sender"));
    }
};

QTEST_GUILESS_MAIN(SleepWatchTest)
#include "tst_sleep_watch.moc"
