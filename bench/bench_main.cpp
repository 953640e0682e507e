// Prints the median time of one airflow frame and of one history chart, each drawn many times
// by the software rasteriser into an image, as the panel draws them; and of taking in a real
// listing of three units: reading the service's answer and merging it into the model.
#include "client/json_codec.h"
#include "panel/airflow/airflow_view.h"
#include "panel/animation/frame_ticker.h"
#include "panel/chart/history_chart.h"
#include "support/model_rig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// Each figure is the median of several batches' medians; their spread shows how steady the
// machine was.
constexpr int batches = 5;
constexpr int runsPerBatch = 60;

struct Timings {
    double median, least, most; // microseconds
};

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Timings measure(const std::function<void(int)>& draw) {
    draw(0); // warm caches, fonts and gradients
    QList<double> medians;
    QElapsedTimer timer;
    for (int batch = 0; batch < batches; ++batch) {
        QList<double> times;
        for (int run = 0; run < runsPerBatch; ++run) {
            timer.start();
            draw(batch * runsPerBatch + run);
            times.append(double(timer.nsecsElapsed()) / 1000);
        }
        medians.append(median(times));
    }
    const auto [least, most] = std::minmax_element(medians.cbegin(), medians.cend());
    return {median(medians), *least, *most};
}

void report(const char* what, const Timings& timings) {
    std::printf("%-46s %8.1f µs (%.1f–%.1f), median of %d × %d runs\n", what, timings.median,
                timings.least, timings.most, batches, runsPerBatch);
}

// Reads the service's answer to a full listing and merges it into `model`, as each poll does.
void takeIn(const QByteArray& answer, AppModel& model) {
    const std::optional<QJsonValue> result = envelopeResult(answer);
    ModelBackstage::merge(model, decodeJson<QList<Pod>>(result.value_or(QJsonValue()),
                                                        {QDateTime::currentDateTimeUtc(), {}}));
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
    report("airflow frame, 380 x 430, level 1", measure([&](int run) {
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
    report("history chart, 96 readings, 340 wide", measure([&](int run) {
               chart.setTint(run % 2 ? cool : shade);
               image.fill(Qt::transparent);
               chart.render(&image, {}, {}, QWidget::RenderFlags());
           }));
    report("history chart, its kept picture", measure([&](int) {
               image.fill(Qt::transparent);
               chart.render(&image, {}, {}, QWidget::RenderFlags());
           }));

    // A model without a key does not poll by itself; after the first run each merge meets the
    // units it already shows, as every poll but the first does.
    QFile listing(QStringLiteral(ALVORE_BENCH_DATA "/real-pods-full.json"));
    if (!listing.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(listing.fileName()));
        return 1;
    }
    const QByteArray answer = listing.readAll();
    ModelRig signedOut(std::nullopt);
    AppModel& listed = signedOut.start();
    report("decode and merge of the real 3-unit listing",
           measure([&](int) { takeIn(answer, listed); }));
    if (listed.pods().size() != 3) {
        std::fprintf(stderr, "the listing gave %lld units, not 3\n",
                     (long long)listed.pods().size());
        return 1;
    }
    return 0;
}
