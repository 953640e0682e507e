#include "model/system_clock.h"
#include "support/virtual_clock.h"

#include <QElapsedTimer>
#include <QTest>

using namespace std::chrono_literals;

namespace {
// Sleeps, then notes `name` in `woken` with the clock's time in milliseconds.
QCoro::Task<> sleeper(Clock& clock, std::chrono::milliseconds duration, CancelToken cancel,
                      QString name, QStringList& woken) {
    const QDateTime start = clock.now();
    co_await clock.sleep(duration, cancel);
    woken.append(QStringLiteral("%1@%2%3")
                     .arg(name)
                     .arg(start.msecsTo(clock.now()))
                     .arg(cancel.isCancelled() ? QStringLiteral(" cancelled") : QString()));
}

QCoro::Task<> chained(Clock& clock, QStringList& woken) {
    co_await clock.sleep(100ms, {});
    woken.append("first");
    co_await clock.sleep(100ms, {});
    woken.append("second");
}
} // namespace

class ClockTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void virtualSleepsWakeInDeadlineOrder();
    void virtualSleepsCancel();
    void systemSleepsAndCancels();
};

void ClockTest::virtualSleepsWakeInDeadlineOrder() {
    VirtualClock clock;
    QStringList woken;
    sleeper(clock, 300ms, {}, "c", woken);
    sleeper(clock, 100ms, {}, "a", woken);
    sleeper(clock, 100ms, {}, "b", woken);
    chained(clock, woken);
    QCOMPARE(clock.pendingSleeps(), (QList<qint64>{100, 100, 100, 300}));
    clock.advance(99ms);
    QVERIFY(woken.isEmpty());
    QCOMPARE(clock.pendingSleeps(), (QList<qint64>{1, 1, 1, 201}));
    // Sleeps begun during the step are woken within it too.
    clock.advance(201ms);
    QCOMPARE(woken, (QStringList{"a@100", "b@100", "first", "second", "c@300"}));
    QCOMPARE(clock.pendingSleeps(), QList<qint64>{});
}

void ClockTest::virtualSleepsCancel() {
    VirtualClock clock;
    QStringList woken;
    CancelToken cancel;
    sleeper(clock, 1000ms, cancel, "a", woken);
    clock.advance(10ms);
    cancel.cancel();
    QVERIFY(woken.isEmpty()); // the sleeper resumes from the event loop, not inside cancel()
    QTest::qWait(1);
    QCOMPARE(woken, QStringList{"a@10 cancelled"});
    QCOMPARE(clock.pendingSleeps(), QList<qint64>{});
    sleeper(clock, 1000ms, cancel, "b", woken); // already cancelled: no sleep at all
    QCOMPARE(woken.last(), QStringLiteral("b@0 cancelled"));
}

void ClockTest::systemSleepsAndCancels() {
    SystemClock clock;
    QStringList woken;
    QElapsedTimer elapsed;
    elapsed.start();
    sleeper(clock, 30ms, {}, "short", woken);
    QVERIFY(QTest::qWaitFor([&] { return !woken.isEmpty(); }, 2000));
    QVERIFY(elapsed.elapsed() >= 30);

    CancelToken cancel;
    elapsed.restart();
    sleeper(clock, 60s, cancel, "long", woken);
    QTest::qWait(10);
    cancel.cancel();
    QVERIFY(QTest::qWaitFor([&] { return woken.size() == 2; }, 2000));
    QVERIFY(woken.last().endsWith(" cancelled"));
    QVERIFY(elapsed.elapsed() < 5000);
}

QTEST_GUILESS_MAIN(ClockTest)
#include "tst_clock.moc"
