#pragma once

#include "client/records.h"

#include <QColor>
#include <QDateTime>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <functional>
#include <optional>

// Where the history chart puts its parts: the last day's readings in each chart, their value
// range, the time axis they share, the value ticks and the hour marks. Painting is left to
// `HistoryChart`.
namespace ChartLayout {

inline constexpr qint64 day = 86'400;
inline constexpr double emptyHeight = 60;
inline constexpr double headerHeight = 16;
inline constexpr double headerGap = 4;
inline constexpr double temperatureHeight = 112;
inline constexpr double humidityHeight = 40;
inline constexpr double chartGap = 14;
// Below the temperature plot, inside its 112 points: the hour labels.
inline constexpr double hourLabelHeight = 14;
// Right of both plots, so that their times line up: the value tick labels.
inline constexpr double tickGutter = 28;
// Left of the plots, so that the dot on the oldest reading is whole.
inline constexpr double dotRoom = 4;
inline constexpr double contentHeight = headerHeight + headerGap + temperatureHeight + chartGap +
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

// The chart's look, as set on the view.
struct Look {
    std::optional<int> target;
    QString unit; // "C" or "F"
    QColor tint;
};

struct Layout {
    QList<Chart> charts; // those with readings in the window
    Timeline timeline;
};

// `history` laid out `width` points wide: the temperature chart, then the humidity chart, each
// with the readings of the day before `now`.
Layout layOut(const History& history, const QDateTime& now, double width, const Look& look);

// The points at or after `since`, oldest first.
QList<History::Point> window(const QList<History::Point>& points, const QDateTime& since);
// The point nearest in time, or none when there are no points.
const History::Point* nearest(const QList<History::Point>& points, const QDateTime& time);

// The height of a plotted value.
double yFor(const Chart& chart, double value);
// Where a reading (in Celsius for temperatures) is drawn.
QPointF pointFor(const Chart& chart, const Timeline& timeline, const History::Point& point);

// Value ticks for a plotted range: steps of 1, 2, 5, 10 or 20 (the first giving at most four
// steps), else 25; none for a range that would need more than 100.
QList<double> ticks(double lo, double hi);
// Times of the hour marks: every 0, 6, 12 and 18 o'clock after the first point, until an hour
// and a half before the last.
QList<QDateTime> hourMarks(const QList<History::Point>& points);

} // namespace ChartLayout
