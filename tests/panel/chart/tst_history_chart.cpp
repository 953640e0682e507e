#include "panel/chart/chart_layout.h"
#include "panel/chart/history_chart.h"
#include "support/model_rig.h"
#include "support/paint_recorder.h"

#include <ctime>

// Hours before now and degrees Celsius. The day: lowest first, highest in between, newest neither.
using Readings = QList<std::pair<double, double>>;
const Readings day{{10, 20.0}, {9, 21.0}, {5, 26.0}, {1, 23.0}, {0, 22.0}};

// One unit on the loopback service with `readings` as its history, and its chart, shown 340
// points wide; the history has arrived when the constructor returns.
struct ChartRig {
    explicit ChartRig(const Readings& readings) {
        rig.units = {unitJson("a", "Bedroom", true)};
        AppModel& model = rig.startPolling();
        QJsonArray temperature, humidity;
        for (const auto& [hoursAgo, celsius] : readings) {
            const QString time =
                model.now().addSecs(qint64(-hoursAgo * 3600)).toString(Qt::ISODate);
            temperature.append(QJsonObject{{"time", time}, {"value", celsius}});
            humidity.append(QJsonObject{{"time", time}, {"value", 50}});
        }
        rig.service.on("GET", "/api/v2/pods/a/historicalMeasurements",
                       LoopbackService::Response::json(envelope(
                           QJsonObject{{"temperature", temperature}, {"humidity", humidity}})));
        chart = std::make_unique<HistoryChart>(model, "a");
        chart->setDrawn(true, 0);
        chart->resize(340, chart->height());
        chart->show();
        requireSetUp(QTest::qWaitFor([&] { return model.history().contains("a"); }, 5000),
                     "the history did not arrive");
    }

    Recording record() const { return PaintRecorder::record(*chart); }

    ModelRig rig;
    std::unique_ptr<HistoryChart> chart;
};

class HistoryChartTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        FrameTicker::shared()->setInstant(true);
        // Times of day in the drawn texts must not meet the hour marks by chance.
        qputenv("TZ", "UTC");
        tzset();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    // Value ticks: steps of 1, of 25, four steps of 2, and none for a wild reading; hour marks
    // every six hours.
    void layout() {
        QCOMPARE((QList<QList<double>>{ChartLayout::ticks(21.3, 23.9), ChartLayout::ticks(0, 200),
                                       ChartLayout::ticks(0, 8), ChartLayout::ticks(0, 1e9)}),
                 (QList<QList<double>>{
                     {22, 23}, {0, 25, 50, 75, 100, 125, 150, 175, 200}, {0, 2, 4, 6, 8}, {}}));

        const auto local = [](int dayOfMonth, int hour, int minute) {
            return QDateTime(QDate(2024, 5, dayOfMonth), QTime(hour, minute));
        };
        const auto marks = [&](const QDateTime& first) {
            return ChartLayout::hourMarks(
                {{first, 20}, {first.addSecs(3600), 21}, {local(2, 9, 35), 22}});
        };
        const QList<QDateTime> all{local(1, 12, 0), local(1, 18, 0), local(2, 0, 0),
                                   local(2, 6, 0)};
        QCOMPARE(marks(local(1, 9, 40)), all);
        // Starting on the hour, and none without points.
        QVERIFY(marks(local(1, 12, 0)) == all.mid(1) && ChartLayout::hourMarks({}).isEmpty());
    }

    void keepsToTheLastDayInTheChosenUnit() {
        ChartRig old({{30, 35.0}, {25, 19.0}});
        QVERIFY(old.chart->height() == 60 && old.record().drew("No readings in the last day"));

        ChartRig mixed(Readings{{30, 35.0}} + day);
        const Recording drawn = mixed.record();
        // The highest of the day, not the older one.
        QVERIFY(drawn.drew("26.0°") && !drawn.drew("35.0°") && drawn.drew("Now ") &&
                drawn.drew("22.0°"));

        mixed.chart->setTarget(72, "F");
        const Recording fahrenheit = mixed.record();
        for (const char* text : {"Target 72°", "71.6°", "78.8°", "68.0°"}) // target, now, extremes
            QVERIFY2(fahrenheit.drew(text), text);
        QVERIFY(!fahrenheit.drew("22.0°"));
    }

    void hoverReadsTheNearestPointAndLinesSweepIn() {
        ChartRig rig(day);
        HistoryChart& chart = *rig.chart;
        const double plot = chart.width() - 28.0; // the plots leave room for the value ticks
        // A tenth of the way along the ten hours: the reading 9 hours ago, at 1:00 AM.
        QTest::mouseMove(&chart, QPoint(int(plot * 0.1), 60));
        QTRY_VERIFY(rig.record().drew("21.0°") && rig.record().drew("  1:00 AM"));
        // Most of the way along: the reading an hour ago.
        QTest::mouseMove(&chart, QPoint(int(plot * 0.85), 60));
        QTRY_VERIFY(rig.record().drew("23.0°") && !rig.record().drew("21.0°"));
        // Over the humidity plot the temperature header reads out the same time.
        QTest::mouseMove(&chart, QPoint(int(plot * 0.1), chart.height() - 10));
        QTRY_VERIFY(rig.record().drew("21.0°"));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&chart, &leave);
        QVERIFY(!rig.record().drew("21.0°"));

        // A chart shown anew sweeps its lines in from the left.
        HistoryChart fresh(*rig.rig.model, "a");
        fresh.resize(340, fresh.height());
        const auto rightmostDrawn = [&] {
            QImage image(fresh.size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            fresh.render(&image, {}, {}, QWidget::RenderFlags());
            int rightmost = -1;
            for (int y = 0; y < image.height(); ++y)
                for (int x = rightmost + 1; x < image.width(); ++x)
                    if (qAlpha(image.pixel(x, y)) > 0)
                        rightmost = x;
            return rightmost;
        };
        FrameTicker::shared()->setInstant(false);
        fresh.setDrawn(true, 0.5);
        QCOMPARE(rightmostDrawn(), -1);
        FrameTicker::shared()->advance(0.5 + 0.45); // half way through the ease-in-out
        QVERIFY(rightmostDrawn() > 100 && rightmostDrawn() <= 171);
        FrameTicker::shared()->advance(0.5);
        QVERIFY(rightmostDrawn() > 300);
        FrameTicker::shared()->setInstant(true);
    }

    void drawsInsideItsBounds() {
        // The extremes at both ends, a target far above, the pointer at the right edge.
        ChartRig rig({{10, 18.0}, {6, 21.0}, {3, 20.0}, {0, 27.5}});
        rig.chart->setTarget(30, "C");
        QTest::mouseMove(rig.chart.get(), QPoint(rig.chart->width() - 30, 60));
        const Recording drawn = rig.record();
        QVERIFY(drawn.texts.size() > 10);
        // Edges count as inside (rules are flat); a stroke may reach a point beyond.
        const QRectF bounds = QRectF(rig.chart->rect()).adjusted(-1, -1, 1, 1);
        for (const Recording::Text& text : drawn.texts)
            QVERIFY2(bounds.united(text.bounds) == bounds, qPrintable(text.text));
        for (const QRectF& shape : drawn.shapes)
            QCOMPARE(bounds.united(shape), bounds);
    }
};

QTEST_MAIN(HistoryChartTest)
#include "tst_history_chart.moc"
