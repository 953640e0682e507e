#pragma once

#include "panel/animation/curve_animation.h"
#include "panel/controls/tight_figure.h"

// A TightFigure of a number that counts: each frame shows the number rounded to a whole one
// (halves away from zero) and "°".
class CountingNumber : public TightFigure {
    Q_OBJECT
public:
    explicit CountingNumber(QWidget* parent = nullptr);

    // Drives the number; set it or animate it along the curve.
    CurveAnimation& number() { return count; }

    static QString format(double value);

private:
    // The count-up of the card's entrance.
    CurveAnimation count{CubicBezier{0.2, 0.7, 0.4, 1.0}, 0.85};
};
