#include "model/system_clock.h"

#include <QElapsedTimer>
#include <QTest>

using namespace std::chrono_literals;

namespace {
QCoro::Task<> sleeper(Clock& clock, std::chrono::milliseconds duration, CancelToken cancel,
                      QStringList& woken) {
    co_await clock.sleep(duration, cancel);
    woken.append(cancel.isCancelled() ? QStringLiteral("cancelled") : QStringLiteral("woke"));
}
} // namespace

class ClockTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void systemSleepsAndCancels() {
        SystemClock clock;
        QStringList woken;
        QElapsedTimer elapsed;
        elapsed.start();
        sleeper(clock, 30ms, {}, woken);
        QVERIFY(QTest::qWaitFor([&] { return !woken.isEmpty(); }, 2000));
        QVERIFY(elapsed.elapsed() >= 30);

        CancelToken cancel;
        elapsed.restart();
        sleeper(clock, 60s, cancel, woken);
        cancel.cancel();
        QVERIFY(QTest::qWaitFor([&] { return woken.size() == 2; }, 2000));
        QCOMPARE(woken, (QStringList{"woke", "cancelled"}));
        QVERIFY(elapsed.elapsed() < 5000);
    }
};

QTEST_GUILESS_MAIN(ClockTest)
#include "tst_clock.moc"
