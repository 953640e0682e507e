#pragma once

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <array>
#include <optional>

// The shapes of the air flowing from the top of a unit's card: streaks falling from 34 fixed
// seeds and, at higher levels, small eddies at the sides. Pure geometry; `AirflowView` draws it.
namespace AirflowField {

struct Seed {
    double x, phase, speed, length;
};
// The 34 streak seeds, computed once from hash().
const std::array<Seed, 34>& seeds();
// frac(sin(n × 12.9898 + 78.233) × 43758.5453)
double hash(double n);

// How strongly the air flows for a fan level and mode, 0…1.
double intensity(const std::optional<QString>& fanLevel, const std::optional<QString>& mode);

// The animation's state, stepped once per frame. Times are seconds on one clock.
struct Flow {
    double progress = 0;
    double level = -1; // treated as 0 on the first frame
    double aim = 0.5;
    std::optional<double> last;
    // Moves toward `target` intensity and `aim` (a slow 8-second sweep when absent); a step is
    // at most 0.1 s, so a frame after a pause never jumps.
    void advance(double time, double target, std::optional<double> aim);
};

// How far down the streaks reach in a field `height` high, for an aim and a level.
double reach(double aim, double level, double height);

// One stroke of air: `path`, `width` wide, fading in from transparent at `from` to `opacity`
// at `to`, with round caps and joins.
struct Stroke {
    QPainterPath path;
    QPointF from, to;
    double opacity;
    double width;
};
QList<Stroke> streaks(const QSizeF& size, const Flow& flow);
// The eddies at `time`, none at level 0.1 or below.
QList<Stroke> eddies(const QSizeF& size, const Flow& flow, double time);

} // namespace AirflowField
