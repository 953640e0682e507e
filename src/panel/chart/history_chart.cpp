#include "panel/chart/history_chart.h"

#include "model/app_model.h"
#include "panel/animation/view_environment.h"
#include "panel/chart/chart_layout.h"
#include "panel/style/fonts.h"
#include "panel/style/palette.h"
#include "panel/style/short_time.h"

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

using namespace ChartLayout;

QString timeOfDay(const QDateTime& time) {
    return QLocale().toString(time.toLocalTime().time(), ShortTime::timeOfDayFormat());
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
    for (const QDateTime& mark : hourMarks(chart.points)) {
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
    for (const double tick : ticks(chart.lo, chart.hi)) {
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

QSize HistoryChart::sizeHint() const {
    return {parentWidget() ? parentWidget()->width() : 340, height()};
}

QString HistoryChart::summary() const {
    const QList<History::Point> shown =
        ChartLayout::window(model.history().value(podID).temperature, model.now().addSecs(-day));
    if (shown.isEmpty())
        return QStringLiteral("No readings in the last day");
    const auto spoken = [this](double celsius) {
        const double value = unit == u"F" ? celsius * 9 / 5 + 32 : celsius;
        return QLocale().toString(value, 'f', 1) + QStringLiteral(" degrees");
    };
    const auto [lowest, highest] = std::minmax_element(
        shown.cbegin(), shown.cend(),
        [](const History::Point& a, const History::Point& b) { return a.value < b.value; });
    QString text =
        QStringLiteral("Room temperature over the last day: lowest %1, highest %2, now %3")
            .arg(spoken(lowest->value), spoken(highest->value), spoken(shown.last().value));
    if (target)
        text += QStringLiteral(", target %1 degrees").arg(*target);
    return text;
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
    const Shown shown{ChartLayout::window(history.temperature, since),
                      ChartLayout::window(history.humidity, since),
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
