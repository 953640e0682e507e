#include "panel/animation/curve_animation.h"
#include "panel/animation/spring.h"

#include <QTest>
#include <cmath>
#include <memory>

constexpr double frame = 1.0 / 60;

// Steps the ticker frame by frame until nothing moves; returns the seconds that took.
static double runToRest(FrameTicker& ticker) {
    double elapsed = 0;
    for (; ticker.isRunning() && elapsed < 10; elapsed += frame)
        ticker.advance(frame);
    return elapsed;
}

class AnimationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:

    void springSettlesOnTargetAndKeepsItsVelocity() {
        // The switch knob, critically damped and far, overdamped (counts as critical).
        const QList<std::tuple<double, double, double>> springs{
            {0.2, 0.85, 1.0}, {0.5, 1.0, -290.0}, {0.3, 1.5, 6.0}};
        for (const auto& [response, damping, to] : springs) {
            FrameTicker ticker;
            Spring spring(response, damping, &ticker);
            spring.animateTo(to);
            const double took = runToRest(ticker);
            QCOMPARE(std::pair(spring.value(), spring.velocity()), std::pair(to, 0.0));
            QVERIFY2(took < response * 6, qPrintable(QString::number(took)));
        }

        // Retargeted, it keeps its velocity.
        FrameTicker ticker;
        Spring spring(0.5, 0.85, &ticker);
        spring.animateTo(1);
        for (int i = 0; i < 6; ++i)
            ticker.advance(frame);
        const std::pair<double, double> moving{spring.value(), spring.velocity()};
        QVERIFY(moving.second > 0.5);
        spring.animateTo(0);
        QCOMPARE(std::pair(spring.value(), spring.velocity()), moving);
        ticker.advance(0.005); // momentum carries it on before it turns back
        QVERIFY(spring.value() > moving.first);
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

        // Before the start and after the end; x = t³ is flat at the start, where Newton's
        // method alone cannot find t = 0.1.
        const CubicBezier countUp{0.2, 0.7, 0.4, 1.0};
        for (const auto& [value, expected] :
             {std::pair(countUp.valueAt(-0.5), 0.0), std::pair(countUp.valueAt(1.5), 1.0),
              std::pair(CubicBezier{0, 1, 0, 1}.valueAt(0.001), 0.271)})
            QVERIFY(std::abs(value - expected) < 1e-6);
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
};

QTEST_GUILESS_MAIN(AnimationTest)
#include "tst_animation.moc"
