#pragma once

#include "panel/airflow/airflow_field.h"

#include <QColor>
#include <QPainterPath>
#include <QSizeF>
#include <QTimer>
#include <QWidget>
#include <optional>

class QPainter;

// Streaks of air (and at higher levels small eddies) flowing from the top of a unit's card,
// drawn about 30 times a second while visible. Draws nothing while the desktop asks for
// reduced motion, and one still frame while previews are rendered.
class AirflowView : public QWidget {
    Q_OBJECT
public:
    // Streaks and eddies in `color`, on a painter that antialiases.
    static void drawFrame(QPainter& painter, const QSizeF& size, const AirflowField::Flow& flow,
                          const QColor& color, double time);

    explicit AirflowView(QWidget* parent = nullptr);

    void setIntensity(double value);
    void setColor(const QColor& value);
    void setAim(std::optional<double> value);
    // Starts a new flow: the level rises from 0 again.
    void restart();
    // The outline the streaks stay inside (nothing when empty).
    void setClip(const QPainterPath& outline);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Frames run while the view is shown, unless motion is reduced or previews are rendered.
    void updateTimer();

    double target = 0;
    QColor color = Qt::white;
    std::optional<double> aim;
    AirflowField::Flow flow;
    int drawnReach = 0; // height of the band the last frame may have drawn in
    QPainterPath clip;
    QTimer timer{this};
};
