// Prints the median time of one airflow frame and of one history chart, each drawn many times
// by the software rasteriser into an image, as the panel draws them.
#include "panel/airflow/airflow_view.h"
#include "panel/animation/frame_ticker.h"
#include "panel/chart/history_chart.h"
#include "support/model_rig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int runs = 300;

// The median of `runs` timings of `draw`, in microseconds.
double medianMicroseconds(const std::function<void(int)>& draw) {
    draw(0); // warm caches, fonts and gradients
    QList<double> times;
    times.reserve(runs);
    QElapsedTimer timer;
    for (int run = 0; run < runs; ++run) {
        timer.start();
        draw(run);
        times.append(double(timer.nsecsElapsed()) / 1000);
    }
    std::sort(times.begin(), times.end());
    return times[runs / 2];
}

void report(const char* what, double microseconds) {
    std::printf("%-48s median %8.1f µs over %d runs\n", what, microseconds, runs);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FrameTicker::shared()->setInstant(true);

    // A 380 × 430 card at full fan: all 34 streaks, eddies on; 30 frames a second.
    const QSizeF card(380, 430);
    QImage frame(card.toSize(), QImage::Format_ARGB32_Premultiplied);
    AirflowField::Flow flow;
    const QColor cool = QColor::fromRgbF(0.2f, 0.56f, 1.0f);
    report("airflow frame, 380 x 430, level 1", medianMicroseconds([&](int run) {
               const double time = 1000 + run / 30.0;
               flow.advance(time, 1, 0.5);
               flow.level = 1;
               frame.fill(Qt::transparent);
               QPainter painter(&frame);
               painter.setRenderHint(QPainter::Antialiasing);
               AirflowView::drawFrame(painter, card, flow, cool, time);
           }));

    // The demo's first unit: a day of 96 readings of temperature and humidity.
    ModelRig rig;
    AppModel& model = rig.start(/*demo*/ true);
    HistoryChart chart(model, model.pods().first().id);
    chart.setTarget(22, QStringLiteral("C"));
    chart.setTint(cool);
    chart.setDrawn(true, 0);
    chart.resize(340, chart.height());
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    // The chart keeps its last picture while nothing it shows changes; a tint that alternates
    // between two shades makes each run draw it anew.
    const QColor shade = cool.darker(101);
    report("history chart, 96 readings, 340 wide", medianMicroseconds([&](int run) {
               chart.setTint(run % 2 ? cool : shade);
               image.fill(Qt::transparent);
               chart.render(&image, {}, {}, QWidget::RenderFlags());
           }));
    report("history chart, its kept picture", medianMicroseconds([&](int) {
               image.fill(Qt::transparent);
               chart.render(&image, {}, {}, QWidget::RenderFlags());
           }));
    return 0;
}
