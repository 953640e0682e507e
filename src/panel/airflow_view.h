#pragma once

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QSizeF>
#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>

class QPainter;

// Streaks of air (and at higher levels small eddies) flowing from the top of a unit's card,
// drawn about 30 times a second while visible. Draws nothing while the desktop asks for
// reduced motion, and one still frame while previews are rendered.
class AirflowView : public QWidget {
    Q_OBJECT
public:
    struct Seed {
        double x, phase, speed, length;
    };
    // The 34 streak seeds, computed once from hash().
    static const std::array<Seed, 34>& seeds();
    // frac(sin(n × 12.9898 + 78.233) × 43758.5453)
    static double hash(double n);

    // How strongly the air flows for a fan level and mode, 0…1.
    static double intensity(const std::optional<QString>& fanLevel,
                            const std::optional<QString>& mode);

    // The animation's state, stepped once per frame. Times are seconds on one clock.
    struct Flow {
        double progress = 0;
        double level = -1; // treated as 0 on the first frame
        double aim = 0.5;
        std::optional<double> last;
        // Moves toward `target` intensity and `aim` (a slow 8-second sweep when absent); a
        // step is at most 0.1 s, so a frame after a pause never jumps.
        void advance(double time, double target, std::optional<double> aim);
    };
    // One stroke of air: `path`, `width` wide, fading in from transparent at `from` to
    // `opacity` at `to`, with round caps and joins.
    struct Stroke {
        QPainterPath path;
        QPointF from, to;
        double opacity;
        double width;
    };
    static QList<Stroke> streaks(const QSizeF& size, const Flow& flow);
    // The eddies at `time`, none at level 0.1 or below.
    static QList<Stroke> eddies(const QSizeF& size, const Flow& flow, double time);
    // Streaks and eddies in `color`, on a painter that antialiases.
    static void drawFrame(QPainter& painter, const QSizeF& size, const Flow& flow,
                          const QColor& color, double time);

    explicit AirflowView(QWidget* parent = nullptr);

    void setIntensity(double intensity);
    void setColor(const QColor& color);
    void setAim(std::optional<double> aim);
    // Starts a new flow: the level rises from 0 again.
    void restart();

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
    Flow flow;
    int drawnReach = 0; // height of the band the last frame may have drawn in
    QTimer timer{this};
};
