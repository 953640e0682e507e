#include "panel/animation/spring.h"
#include "panel/animation/timing_curve.h"

#include <QTest>
#include <cmath>
#include <memory>

namespace {

constexpr double frame = 1.0 / 60;

// Steps the ticker frame by frame until nothing moves; returns the seconds that took.
double runToRest(FrameTicker& ticker) {
    double elapsed = 0;
    for (; ticker.isRunning() && elapsed < 10; elapsed += frame)
        ticker.advance(frame);
    return elapsed;
}

} // namespace

Q_DECLARE_METATYPE(CubicBezier)

class AnimationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:

    void springSettlesOnTarget_data() {
        QTest::addColumn<double>("response");
        QTest::addColumn<double>("damping");
        QTest::addColumn<double>("to");
        QTest::newRow("switch knob") << 0.2 << 0.85 << 1.0;
        QTest::newRow("critically damped, far") << 0.5 << 1.0 << -290.0;
        QTest::newRow("overdamped counts as critical") << 0.3 << 1.5 << 6.0;
    }

    void springSettlesOnTarget() {
        QFETCH(double, response);
        QFETCH(double, damping);
        QFETCH(double, to);
        FrameTicker ticker;
        Spring spring(response, damping, &ticker);
        spring.animateTo(to);
        const double took = runToRest(ticker);
        QCOMPARE(std::pair(spring.value(), spring.velocity()), std::pair(to, 0.0));
        QVERIFY2(took < response * 6, qPrintable(QString::number(took)));
    }

    void springRetargetKeepsVelocity() {
        FrameTicker ticker;
        Spring spring(0.5, 0.85, &ticker);
        spring.animateTo(1);
        for (int i = 0; i < 6; ++i)
            ticker.advance(frame);
        const std::pair<double, double> moving{spring.value(), spring.velocity()};
        QVERIFY(moving.second > 0.5);
        spring.animateTo(0);
        QCOMPARE(std::pair(spring.value(), spring.velocity()), moving);
        const double position = moving.first;
        ticker.advance(0.005); // momentum carries it on before it turns back
        QVERIFY(spring.value() > position);
        runToRest(ticker);
        QCOMPARE(spring.value(), 0.0);
    }

    void curveFollowsAfterItsDelay() {
        FrameTicker ticker;
        CurveAnimation figure(CubicBezier{0.2, 0.7, 0.4, 1.0}, 0.85, &ticker);
        figure.setValue(10);
        figure.animateTo(22, 0.5);
        ticker.advance(0.4);
        QCOMPARE(figure.value(), 10.0);
        // The last 0.1 s of the delay, then to x = 0.35 of the curve, where y = 0.7625.
        ticker.advance(0.1 + 0.35 * 0.85);
        QVERIFY(std::abs(figure.value() - (10 + 12 * 0.7625)) < 1e-6);
        ticker.advance(0.85);
        QCOMPARE(figure.value(), 22.0);
        QVERIFY(!ticker.isRunning());
    }

    void instantJumpsToTheEnd() {
        FrameTicker ticker;
        Spring spring(0.4, 0.85, &ticker);
        CurveAnimation curve(CubicBezier::easeOut(), 0.9, &ticker);
        spring.animateTo(3);
        curve.animateTo(7, 0.3);
        ticker.advance(frame);

        ticker.setInstant(true);
        QCOMPARE(std::pair(spring.value(), curve.value()), std::pair(3.0, 7.0));
        spring.animateTo(-2, 1.0);
        QCOMPARE(spring.value(), -2.0);
        QVERIFY(!ticker.isRunning());
    }

    void tickerRunsOnlyWhileSomethingMoves() {
        FrameTicker ticker;
        Spring first(0.1, 1.0, &ticker);
        first.animateTo(1);
        auto second = std::make_unique<Spring>(0.6, 0.85, &ticker);
        second->animateTo(1);
        QVERIFY(ticker.isRunning());
        second.reset(); // a deleted animation leaves the ticker cleanly

        // The real frame timer brings the rest to an end and stops.
        QTRY_VERIFY_WITH_TIMEOUT(!ticker.isRunning(), 10'000);
        QCOMPARE(first.value(), 1.0);

        // Asking for the value already shown starts nothing; setting a value stops the movement.
        first.animateTo(1);
        QVERIFY(!ticker.isRunning());
        first.animateTo(0);
        first.setValue(0.5);
        QVERIFY(!ticker.isRunning());
    }

    void curveValues_data() {
        QTest::addColumn<CubicBezier>("curve");
        QTest::addColumn<double>("progress");
        QTest::addColumn<double>("expected");
        const CubicBezier countUp{0.2, 0.7, 0.4, 1.0};
        QTest::newRow("count-up, before start") << countUp << -0.5 << 0.0;
        QTest::newRow("count-up, after end") << countUp << 1.5 << 1.0;
        // x = t³ is flat at the start, where Newton's method alone cannot find t = 0.1.
        QTest::newRow("flat start") << CubicBezier{0, 1, 0, 1} << 0.001 << 0.271;
    }

    void curveValues() {
        QFETCH(CubicBezier, curve);
        QFETCH(double, progress);
        QFETCH(double, expected);
        QVERIFY(std::abs(curve.valueAt(progress) - expected) < 1e-6);
    }
};

QTEST_GUILESS_MAIN(AnimationTest)
#include "tst_animation.moc"
