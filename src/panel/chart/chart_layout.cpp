#include "panel/chart/chart_layout.h"

#include "model/settings.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace ChartLayout {

namespace {

constexpr int maxTicks = 100;

// The value as the chart plots it.
double plotted(const Chart& chart, double value) {
    return chart.fahrenheit ? toFahrenheit(value) : value;
}

} // namespace

Layout layOut(const History& history, const QDateTime& now, double width, const Look& look) {
    const QDateTime since = now.addSecs(-day);
    Settings scale;
    scale.unit = look.unit == QLatin1String("F") ? QStringLiteral("F") : QStringLiteral("C");

    Chart temperature;
    temperature.label = QStringLiteral("Temperature");
    temperature.color = look.tint;
    temperature.target = look.target;
    temperature.axis = true;
    temperature.extremes = true;
    temperature.points = window(history.temperature, since);
    temperature.fahrenheit = scale.unit == QLatin1String("F");
    // In the chart's own scale, which need not be the one the settings choose for readings.
    temperature.format = [scale](double celsius) { return scale.reading(celsius, 1); };

    Chart humidity;
    humidity.label = QStringLiteral("Humidity");
    humidity.color = QColor::fromRgbF(0.6f, 0.6f, 0.6f);
    humidity.points = window(history.humidity, since);
    humidity.format = [](double value) {
        return QLocale().toString(value, 'f', 0) + QStringLiteral("%");
    };

    Layout made;
    double y = 0;
    QDateTime start;
    QDateTime end;
    for (Chart* chart : {&temperature, &humidity}) {
        const double height = chart->axis ? temperatureHeight : humidityHeight;
        chart->header = QRectF(0, y, width, headerHeight);
        y += headerHeight + headerGap;
        chart->frame = QRectF(0, y, width, height);
        chart->plot = QRectF(dotRoom, y, width - tickGutter - dotRoom,
                             height - (chart->axis ? hourLabelHeight : 0));
        y += height + chartGap;
        if (chart->points.isEmpty())
            continue;

        const auto [lowest, highest] =
            std::minmax_element(chart->points.cbegin(), chart->points.cend(),
                                [](const auto& a, const auto& b) { return a.value < b.value; });
        double lo = plotted(*chart, lowest->value);
        double hi = plotted(*chart, highest->value);
        if (chart->target) {
            lo = std::min(lo, double(*chart->target));
            hi = std::max(hi, double(*chart->target));
        }
        const double margin = std::max((hi - lo) * 0.15, 0.5);
        chart->lo = lo - margin;
        chart->hi = hi + margin;
        if (!start.isValid() || chart->points.first().time < start)
            start = chart->points.first().time;
        if (!end.isValid() || chart->points.last().time > end)
            end = chart->points.last().time;
        made.charts.append(*chart);
    }
    made.timeline = {start, start.msecsTo(end)};
    return made;
}

QList<History::Point> window(const QList<History::Point>& points, const QDateTime& since) {
    QList<History::Point> kept;
    for (const History::Point& point : points)
        if (point.time >= since)
            kept.append(point);
    std::stable_sort(kept.begin(), kept.end(),
                     [](const auto& a, const auto& b) { return a.time < b.time; });
    return kept;
}

const History::Point* nearest(const QList<History::Point>& points, const QDateTime& time) {
    const History::Point* best = nullptr;
    qint64 bestDistance = 0;
    for (const History::Point& point : points) {
        const qint64 distance = std::abs(point.time.msecsTo(time));
        if (!best || distance < bestDistance) {
            best = &point;
            bestDistance = distance;
        }
    }
    return best;
}

double yFor(const Chart& chart, double value) {
    return chart.plot.top() + (chart.hi - value) / (chart.hi - chart.lo) * chart.plot.height();
}

QPointF pointFor(const Chart& chart, const Timeline& timeline, const History::Point& point) {
    return {timeline.x(chart.plot, point.time), yFor(chart, plotted(chart, point.value))};
}

QList<double> ticks(double lo, double hi) {
    if (!std::isfinite(lo) || !std::isfinite(hi) || hi < lo)
        return {};
    double step = 25;
    for (const double candidate : {1.0, 2.0, 5.0, 10.0, 20.0}) {
        if ((hi - lo) / candidate <= 4) {
            step = candidate;
            break;
        }
    }
    const double first = std::ceil(lo / step) * step;
    // A wild reading must not flood the axis with thousands of ticks.
    if ((hi - first) / step > maxTicks)
        return {};
    QList<double> made;
    for (int i = 0; first + i * step <= hi; ++i)
        made.append(first + i * step);
    return made;
}

QList<QDateTime> hourMarks(const QList<History::Point>& points) {
    if (points.isEmpty())
        return {};
    const QDateTime first = points.first().time.toLocalTime();
    const QDateTime hourStart(first.date(), QTime(first.time().hour(), 0));
    const QDateTime until = points.last().time.addSecs(-5400);
    QList<QDateTime> marks;
    for (QDateTime time = hourStart.addSecs(3600); time < until; time = time.addSecs(3600))
        if (time.time().hour() % 6 == 0)
            marks.append(time);
    return marks;
}

} // namespace ChartLayout
