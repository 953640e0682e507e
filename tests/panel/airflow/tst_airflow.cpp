#include "panel/airflow/airflow_view.h"
#include "panel/animation/frame_ticker.h"
#include "panel/animation/view_environment.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <cmath>

namespace {

const QSizeF card(380, 430);

bool near(double a, double b) {
    return std::abs(a - b) < 1e-9;
}

AirflowField::Flow flowAt(double level) {
    AirflowField::Flow flow;
    flow.level = level;
    flow.progress = 3.7;
    return flow;
}

// The view drawn into an image with a margin of 40 on every side: painted pixels inside the
// view's own rectangle and outside it.
std::pair<int, int> paintedPixels(AirflowView& view) {
    QImage image(view.size() + QSize(80, 80), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    view.render(&painter, QPoint(40, 40), {}, QWidget::RenderFlags());
    painter.end();
    int inside = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                ++(QRect(QPoint(40, 40), view.size()).contains(x, y) ? inside : outside);
    return {inside, outside};
}

} // namespace

class AirflowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { FrameTicker::shared()->setInstant(true); }
    void intensity();
    void advanceSmoothsAndCapsTheStep();
    void streakCountFollowsTheLevel_data();
    void streakCountFollowsTheLevel();
    void eddiesOnlyAboveLowLevels();
    void framesRunOnlyWhileShownAndMoving();
};

void AirflowTest::intensity() {
    const auto intensity = [](std::optional<QString> fan, std::optional<QString> mode) {
        return AirflowField::intensity(fan, mode);
    };
    // Dry blows at 60 %; an unknown or missing level counts as the middle.
    QVERIFY(near(intensity("high", "dry"), 0.51));
    QVERIFY(near(intensity("strong", "heat"), 1.0));
    QVERIFY(near(intensity("auto", "cool"), 0.5));
    QVERIFY(near(intensity(std::nullopt, std::nullopt), 0.5));
}

void AirflowTest::advanceSmoothsAndCapsTheStep() {
    AirflowField::Flow flow;
    flow.advance(100, 1, 0.8); // the first frame only starts the clock
    QVERIFY(flow.level == 0 && flow.aim == 0.5 && flow.progress == 0);
    flow.advance(100.05, 1, 0.8);
    QVERIFY(near(flow.level, 0.125) && near(flow.aim, 0.5 + 0.3 * 0.125));
    QVERIFY(near(flow.progress, 0.05 * (0.125 * 0.45 + 0.22)));
    // After a long pause the frame counts as 0.1 s; a clock that steps back moves nothing.
    const double progress = flow.progress;
    flow.advance(5000, 1, 0.8);
    const double level = 0.125 + 0.875 * 0.25;
    QVERIFY(near(flow.level, level));
    QVERIFY(near(flow.progress - progress, 0.1 * (level * 0.45 + 0.22)));
    flow.advance(4000, 0, 0);
    QVERIFY(near(flow.level, level));
    // Without a fixed position the aim sweeps: fully down at 4 s into each 8 s.
    AirflowField::Flow sweeping;
    sweeping.advance(3.9, 0.5, std::nullopt);
    sweeping.advance(4.0, 0.5, std::nullopt);
    QVERIFY(near(sweeping.aim, 0.5 + 0.5 * 0.6));
}

void AirflowTest::streakCountFollowsTheLevel_data() {
    QTest::addColumn<double>("level");
    QTest::addColumn<int>("count");
    QTest::newRow("still") << 0.0 << 6;
    QTest::newRow("half") << 0.5 << 20;
    QTest::newRow("full") << 1.0 << 34;
}

void AirflowTest::streakCountFollowsTheLevel() {
    QFETCH(double, level);
    QFETCH(int, count);
    const QList<AirflowField::Stroke> drawn = AirflowField::streaks(card, flowAt(level));
    QCOMPARE(drawn.size(), count);
    for (const AirflowField::Stroke& streak : drawn) {
        QCOMPARE(streak.path.elementCount(), 7);
        // Fading in from the tail to the head.
        QCOMPARE(streak.from, QPointF(streak.path.elementAt(0)));
        QCOMPARE(streak.to, streak.path.currentPosition());
    }
}

void AirflowTest::eddiesOnlyAboveLowLevels() {
    const auto eddies = [](double level, double time) {
        return AirflowField::eddies(card, flowAt(level), time);
    };
    int seen = 0;
    for (double time = 0; time < 60; time += 0.05) {
        QVERIFY(eddies(0.1, time).isEmpty());
        const QList<AirflowField::Stroke> drawn = eddies(1, time);
        QVERIFY(drawn.size() <= 4);
        for (const AirflowField::Stroke& eddy : drawn) {
            QCOMPARE(eddy.path.elementCount(), 15);
            // Against the left or the right edge, 22 points in from it.
            QVERIFY(eddy.path.boundingRect().left() >= 22 - 1e-9 &&
                    eddy.path.boundingRect().right() <= 380 - 22 + 1e-9);
        }
        seen += int(drawn.size());
    }
    QVERIFY(seen > 0);
}

void AirflowTest::framesRunOnlyWhileShownAndMoving() {
    AirflowView view;
    view.resize(card.toSize());
    view.setIntensity(1);
    auto* frames = view.findChild<QTimer*>();
    QVERIFY(frames && !frames->isActive());
    view.show();
    QVERIFY(frames->isActive());
    const auto [inside, outside] = paintedPixels(view);
    QVERIFY(inside > 0);
    QCOMPARE(outside, 0);
    view.hide();
    QVERIFY(!frames->isActive());

    ViewEnvironment::setRenderingPreview(true);
    view.show();
    QVERIFY(!frames->isActive());
    view.hide();
    ViewEnvironment::setRenderingPreview(false);

    // With reduced motion the frames stop and nothing at all is drawn.
    view.show();
    ViewEnvironment::setReducedMotion(true);
    QTRY_VERIFY(!frames->isActive());
    QCOMPARE(paintedPixels(view).first, 0);
    ViewEnvironment::setReducedMotion(false);
}

QTEST_MAIN(AirflowTest)
#include "tst_airflow.moc"
