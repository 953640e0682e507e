#include "panel/history_chart.h"

#include "model/app_model.h"
#include "model/palette.h"
#include "panel/fonts.h"
#include "panel/short_time.h"
#include "panel/view_environment.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr qint64 day = 86'400;
constexpr double emptyHeight = 60;
constexpr double headerHeight = 16;
constexpr double headerGap = 4;
constexpr double temperatureHeight = 112;
constexpr double humidityHeight = 40;
constexpr double chartGap = 14;
// Below the temperature plot, inside its 112 points: the hour labels.
constexpr double hourLabelHeight = 14;
// Right of both plots, so that their times line up: the value tick labels.
constexpr double tickGutter = 28;
// Left of the plots, so that the dot on the oldest reading is whole.
constexpr double dotRoom = 4;
constexpr int maxTicks = 100;
constexpr double contentHeight = headerHeight + headerGap + temperatureHeight + chartGap +
                                 headerHeight + headerGap + humidityHeight;

// One of the two charts, laid out for painting.
struct Chart {
    QString label;
    QColor color;
    std::optional<int> target; // in the chart's scale
    bool axis = false;
    bool extremes = false;
    QList<History::Point> points; // in the window, oldest first, as the model holds them
    bool fahrenheit = false;      // temperatures given in Celsius, shown in Fahrenheit
    std::function<QString(double)> format;
    QRectF header;
    QRectF frame; // the plot and, with the axis, the hour labels below it
    QRectF plot;
    double lo = 0;
    double hi = 1;
};

// The value as the chart plots it.
double plotted(const Chart& chart, double value) {
    return chart.fahrenheit ? value * 9 / 5 + 32 : value;
}

// The points at or after `since`, oldest first.
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

QString timeOfDay(const QDateTime& time) {
    return QLocale().toString(time.toLocalTime().time(), ShortTime::timeOfDayFormat());
}

// The time axis shared by both plots: from the oldest to the newest point shown.
struct Timeline {
    QDateTime start;
    qint64 span = 0; // milliseconds

    double x(const QRectF& plot, const QDateTime& time) const {
        if (span <= 0)
            return plot.center().x();
        return plot.left() + plot.width() * double(start.msecsTo(time)) / double(span);
    }
    QDateTime time(const QRectF& plot, double x) const {
        if (span <= 0 || plot.width() <= 0)
            return start;
        return start.addMSecs(qint64((x - plot.left()) / plot.width() * double(span)));
    }
};

// The height of a plotted value.
double yFor(const Chart& chart, double value) {
    return chart.plot.top() + (chart.hi - value) / (chart.hi - chart.lo) * chart.plot.height();
}

QPointF pointFor(const Chart& chart, const Timeline& timeline, const History::Point& point) {
    return {timeline.x(chart.plot, point.time), yFor(chart, plotted(chart, point.value))};
}

// Draws `runs` of text in their colours one after another from `origin` on the baseline.
void drawRuns(QPainter& painter, QPointF origin, const QList<std::pair<QString, QColor>>& runs) {
    const QFontMetricsF metrics(painter.font());
    for (const auto& [text, color] : runs) {
        painter.setPen(color);
        painter.drawText(origin, text);
        origin.rx() += metrics.horizontalAdvance(text);
    }
}

double runsWidth(const QFont& font, const QList<std::pair<QString, QColor>>& runs) {
    const QFontMetricsF metrics(font);
    double width = 0;
    for (const auto& run : runs)
        width += metrics.horizontalAdvance(run.first);
    return width;
}

double baselineCentredIn(const QFontMetricsF& metrics, double centreY) {
    return centreY + (metrics.ascent() - metrics.descent()) / 2;
}

QPen dashedRule() {
    QPen pen(Palette::white(0.45), 1);
    pen.setDashPattern({3, 3});
    return pen;
}

void drawHeader(QPainter& painter, const Chart& chart, const History::Point* hovered) {
    const QFont font = Fonts::font(10.5);
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    const QRectF& row = chart.header;
    const double baseline = baselineCentredIn(metrics, row.center().y());

    painter.setPen(Qt::NoPen);
    painter.setBrush(chart.color);
    painter.drawRoundedRect(QRectF(row.left(), row.center().y() - 1.5, 10, 3), 1.5, 1.5);
    painter.setPen(Palette::secondaryText());
    painter.drawText(QPointF(row.left() + 14, baseline), chart.label);

    const History::Point& shown = hovered ? *hovered : chart.points.last();
    QList<std::pair<QString, QColor>> readout;
    if (hovered)
        readout = {{chart.format(shown.value), Palette::primaryText()},
                   {QStringLiteral("  ") + timeOfDay(shown.time), Palette::secondaryText()}};
    else
        readout = {{QStringLiteral("Now "), Palette::secondaryText()},
                   {chart.format(shown.value), Palette::primaryText()}};
    double x = row.right() - runsWidth(font, readout);
    drawRuns(painter, QPointF(x, baseline), readout);

    if (chart.target) {
        const QString legend = QStringLiteral("Target %1°").arg(*chart.target);
        x -= 12 + metrics.horizontalAdvance(legend);
        painter.setPen(Palette::secondaryText());
        painter.drawText(QPointF(x, baseline), legend);
        x -= 4 + 12;
        painter.setPen(dashedRule());
        painter.drawLine(QPointF(x, row.center().y()), QPointF(x + 12, row.center().y()));
    }
}

void drawAxis(QPainter& painter, const Chart& chart, const Timeline& timeline) {
    const QFont font = Fonts::font(9.5);
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    for (const QDateTime& mark : HistoryChart::hourMarks(chart.points)) {
        const double x = timeline.x(chart.plot, mark);
        painter.setPen(QPen(Palette::white(0.08), 1));
        painter.drawLine(QPointF(x, chart.plot.top()), QPointF(x, chart.plot.bottom()));
        const QString text = timeOfDay(mark);
        const double width = metrics.horizontalAdvance(text);
        const double left =
            std::clamp(x - width / 2, chart.frame.left(), chart.frame.right() - tickGutter - width);
        painter.setPen(Palette::secondaryText());
        painter.drawText(QPointF(left, chart.frame.bottom() - metrics.descent()), text);
    }
    for (const double tick : HistoryChart::ticks(chart.lo, chart.hi)) {
        const double y = yFor(chart, tick);
        painter.setPen(QPen(Palette::white(0.06), 1));
        painter.drawLine(QPointF(chart.plot.left(), y), QPointF(chart.plot.right(), y));
        const double baseline =
            std::clamp(baselineCentredIn(metrics, y), chart.frame.top() + metrics.ascent(),
                       chart.frame.bottom() - metrics.descent());
        painter.setPen(Palette::secondaryText());
        painter.drawText(QPointF(chart.plot.right() + 4, baseline),
                         QLocale().toString(tick, 'f', 0));
    }
}

void drawSeries(QPainter& painter, const Chart& chart, const Timeline& timeline) {
    QPainterPath line;
    for (const History::Point& point : chart.points) {
        const QPointF at = pointFor(chart, timeline, point);
        if (line.elementCount() == 0)
            line.moveTo(at);
        else
            line.lineTo(at);
    }
    QPainterPath area = line;
    area.lineTo(line.currentPosition().x(), chart.plot.bottom());
    area.lineTo(line.elementAt(0).x, chart.plot.bottom());
    area.closeSubpath();
    QLinearGradient fade(chart.plot.topLeft(), chart.plot.bottomLeft());
    QColor top = chart.color;
    top.setAlphaF(0.32f);
    QColor bottom = chart.color;
    bottom.setAlphaF(0);
    fade.setColorAt(0, top);
    fade.setColorAt(1, bottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fade);
    painter.drawPath(area);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(chart.color, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(line);

    if (chart.target) {
        const double y = yFor(chart, *chart.target);
        painter.setPen(dashedRule());
        painter.drawLine(QPointF(chart.plot.left(), y), QPointF(chart.plot.right(), y));
    }
}

// A dot on the reading and, beside it, its value and time of day.
void drawExtreme(QPainter& painter, const Chart& chart, const Timeline& timeline,
                 const History::Point& point, bool highest) {
    const QPointF at = pointFor(chart, timeline, point);
    painter.setPen(Qt::NoPen);
    painter.setBrush(chart.color);
    painter.drawEllipse(at, 2.5, 2.5);

    const QFont font = Fonts::font(9.5);
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    const QList<std::pair<QString, QColor>> runs{
        {chart.format(point.value), Palette::white(0.85)},
        {QStringLiteral(" ") + timeOfDay(point.time), Palette::secondaryText()}};
    const double width = runsWidth(font, runs);
    double left = at.x() + 5;
    if (left + width > chart.plot.right())
        left = at.x() - 5 - width;
    left = std::max(left, chart.plot.left());
    // Above the highest and below the lowest reading, unless the plot ends there.
    const double above = at.y() - 4 - metrics.descent();
    const double below = at.y() + 4 + metrics.ascent();
    double baseline = highest ? above : below;
    if (baseline - metrics.ascent() < chart.frame.top())
        baseline = below;
    if (baseline + metrics.descent() > chart.plot.bottom())
        baseline = above;
    drawRuns(painter, QPointF(left, baseline), runs);
}

void drawExtremes(QPainter& painter, const Chart& chart, const Timeline& timeline) {
    const auto [lowest, highest] =
        std::minmax_element(chart.points.cbegin(), chart.points.cend(),
                            [](const auto& a, const auto& b) { return a.value < b.value; });
    drawExtreme(painter, chart, timeline, *highest, true);
    if (lowest != highest)
        drawExtreme(painter, chart, timeline, *lowest, false);
}

void drawHoverRule(QPainter& painter, const Chart& chart, const Timeline& timeline,
                   const History::Point& point) {
    const QPointF at = pointFor(chart, timeline, point);
    painter.setPen(QPen(Palette::white(0.4), 1));
    painter.drawLine(QPointF(at.x(), chart.plot.top()), QPointF(at.x(), chart.plot.bottom()));
    painter.setPen(QPen(Palette::card(), 1.5));
    painter.setBrush(chart.color);
    painter.drawEllipse(at, 3, 3);
}

struct Layout {
    QList<Chart> charts; // those with readings in the window
    Timeline timeline;
};

struct Look {
    std::optional<int> target;
    QString unit;
    QColor tint;
};

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

} // namespace

HistoryChart::HistoryChart(AppModel& model, QString podID, QWidget* parent)
    : QWidget(parent), model(model), podID(std::move(podID)),
      reveal(CubicBezier::easeInOut(), 0.9, nullptr, this) {
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(&model, &AppModel::historyChanged, this, [this] {
        updateHeight();
        update();
    });
    connect(&reveal, &Animation::valueChanged, this, qOverload<>(&QWidget::update));
    updateHeight();
}

void HistoryChart::setTarget(std::optional<int> value, const QString& scale) {
    if (value == target && scale == unit)
        return;
    target = value;
    unit = scale;
    update();
}

void HistoryChart::setTint(const QColor& value) {
    if (value == tint)
        return;
    tint = value;
    update();
}

void HistoryChart::setDrawn(bool drawn, double delay) {
    const double goal = drawn ? 1 : 0;
    if (ViewEnvironment::renderingPreview())
        reveal.setValue(goal);
    else if (reveal.target() != goal)
        reveal.animateTo(goal, delay);
}

QList<double> HistoryChart::ticks(double lo, double hi) {
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

QList<QDateTime> HistoryChart::hourMarks(const QList<History::Point>& points) {
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

QSize HistoryChart::sizeHint() const {
    return {parentWidget() ? parentWidget()->width() : 340, height()};
}

bool HistoryChart::hasReadings() const {
    const QDateTime since = model.now().addSecs(-day);
    const QList<History::Point> temperature = model.history().value(podID).temperature;
    return std::any_of(temperature.cbegin(), temperature.cend(),
                       [&](const History::Point& point) { return point.time >= since; });
}

void HistoryChart::updateHeight() {
    setFixedHeight(int(hasReadings() ? contentHeight : emptyHeight));
}

void HistoryChart::paintEvent(QPaintEvent*) {
    const History history = model.history().value(podID);
    const QDateTime since = model.now().addSecs(-day);
    const Shown shown{::window(history.temperature, since),
                      ::window(history.humidity, since),
                      target,
                      unit,
                      tint,
                      reveal.value(),
                      hoveredTime};
    picture.paint(*this, shown, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        if (shown.temperature.isEmpty()) {
            painter.setFont(Fonts::font(10));
            painter.setPen(Palette::secondaryText());
            painter.drawText(QRectF(0, 0, width(), emptyHeight), Qt::AlignCenter,
                             QStringLiteral("No readings in the last day"));
            return;
        }
        painter.setClipRect(QRectF(0, 0, width() * shown.reveal, height()));
        const Layout laid = layOut({shown.temperature, shown.humidity}, model.now(), width(),
                                   {shown.target, shown.unit, shown.tint});
        for (const Chart& chart : laid.charts) {
            const History::Point* hoveredPoint =
                shown.hovered ? nearest(chart.points, *shown.hovered) : nullptr;
            painter.save();
            drawHeader(painter, chart, hoveredPoint);
            if (chart.axis)
                drawAxis(painter, chart, laid.timeline);
            drawSeries(painter, chart, laid.timeline);
            if (chart.extremes)
                drawExtremes(painter, chart, laid.timeline);
            if (hoveredPoint)
                drawHoverRule(painter, chart, laid.timeline, *hoveredPoint);
            painter.restore();
        }
    });
}

void HistoryChart::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateHeight();
    // The model's cache decides whether this reaches the service; the answer arrives through
    // historyChanged.
    model.loadHistory(podID);
}

void HistoryChart::mouseMoveEvent(QMouseEvent* event) {
    std::optional<QDateTime> time;
    if (hasReadings()) {
        const Layout laid =
            layOut(model.history().value(podID), model.now(), width(), {target, unit, tint});
        for (const Chart& chart : laid.charts) {
            if (!chart.plot.contains(event->position()))
                continue;
            const QDateTime pointer = laid.timeline.time(chart.plot, event->position().x());
            time = nearest(chart.points, pointer)->time;
        }
    }
    setHovered(time);
}

void HistoryChart::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    setHovered(std::nullopt);
}

void HistoryChart::setHovered(std::optional<QDateTime> time) {
    if (time == hoveredTime)
        return;
    hoveredTime = std::move(time);
    update();
}
