#pragma once

#include "client/records.h"
#include "panel/animation/curve_animation.h"
#include "panel/style/paint_cache.h"
#include "panel/style/palette.h"

#include <QColor>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QWidget>
#include <optional>

class AppModel;

// The last day of a unit's room readings at the bottom of its card: temperature (112 points
// high, with hour marks, value ticks, extremes and the target) and humidity (40 points), with a
// read-out of the reading under the pointer. Asks the model for the history when shown.
class HistoryChart : public QWidget {
    Q_OBJECT
public:
    HistoryChart(AppModel& model, QString podID, QWidget* parent = nullptr);

    // The unit's target, in `scale` ("C" or "F"), the scale the chart draws in.
    void setTarget(std::optional<int> value, const QString& scale);
    void setTint(const QColor& value);
    // The lines sweep in from the left, `delay` seconds after `drawn` becomes true.
    void setDrawn(bool drawn, double delay);

    QSize sizeHint() const override;
    // What the chart shows, for a screen reader: the last day's lowest, highest and latest room
    // temperature and the target, in the chart's scale.
    QString summary() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // Whether the window of the last day holds a temperature reading.
    bool hasReadings() const;
    // The height of what is shown: both charts, or the line saying there are no readings.
    void updateHeight();
    void setHovered(std::optional<QDateTime> time);

    AppModel& model;
    QString podID;
    std::optional<int> target;
    QString unit = QStringLiteral("C");
    QColor tint = Palette::cool();
    // How much of the width is revealed, 0…1.
    CurveAnimation reveal;
    std::optional<QDateTime> hoveredTime;
    // Everything one painting shows: the last day's readings, the look, how far the lines are
    // drawn in, and the time under the pointer.
    struct Shown {
        QList<History::Point> temperature;
        QList<History::Point> humidity;
        std::optional<int> target;
        QString unit;
        QColor tint;
        qreal reveal = 0;
        std::optional<QDateTime> hovered;
        bool operator==(const Shown&) const = default;
    };
    PaintCache<Shown> picture;
};
