#include "panel/airflow/airflow_view.h"
#include "panel/animation/frame_ticker.h"
#include "panel/animation/view_environment.h"

#include <QPainter>
#include <QTest>

const QSizeF card(380, 430);

static AirflowField::Flow flowAt(double level) {
    AirflowField::Flow flow;
    flow.level = level;
    flow.progress = 3.7;
    return flow;
}

// The view drawn into an image with a margin of 40 on every side: painted pixels inside the
// view's own rectangle and outside it.
static std::pair<int, int> paintedPixels(AirflowView& view) {
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

class AirflowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { FrameTicker::shared()->setInstant(true); }

    void fieldAdvancesCappedAndStreaksRise() {
        // The first frame only starts the clock; after a long pause a frame counts as 0.1 s; a
        // clock that steps back moves nothing.
        AirflowField::Flow paused, prompt;
        for (AirflowField::Flow* flow : {&paused, &prompt})
            flow->advance(100, 1, 0.8);
        QVERIFY(paused.level == 0 && paused.progress == 0);
        paused.advance(5000, 1, 0.8);
        prompt.advance(100.1, 1, 0.8);
        QVERIFY(paused.level > 0);
        QCOMPARE(paused.level, prompt.level);
        QCOMPARE(paused.progress, prompt.progress);
        paused.advance(4000, 0, 0);
        QCOMPARE(paused.level, prompt.level);
        QCOMPARE(paused.progress, prompt.progress);

        // More streaks as the flow rises. How the streaks and eddies are shaped shows in the
        // previews; the view's test below keeps what it draws inside it.
        const auto still = AirflowField::streaks(card, flowAt(0)).size();
        QVERIFY(still > 0 && still < AirflowField::streaks(card, flowAt(1)).size());
    }

    void framesRunOnlyWhileShownAndMoving() {
        AirflowView view;
        view.resize(card.toSize());
        view.setIntensity(1);
        auto* frames = view.findChild<QTimer*>();
        QVERIFY(frames && !frames->isActive());
        view.show();
        QVERIFY(frames->isActive());
        const auto [inside, outside] = paintedPixels(view);
        QVERIFY(inside > 0 && outside == 0);
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
};

QTEST_MAIN(AirflowTest)
#include "tst_airflow.moc"
