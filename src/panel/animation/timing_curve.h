#pragma once

// A cubic Bézier timing curve from (0, 0) to (1, 1) through the control points (x1, y1) and
// (x2, y2), as CSS's cubic-bezier() draws it.
struct CubicBezier {
    double x1 = 0;
    double y1 = 0;
    double x2 = 1;
    double y2 = 1;

    // The curve's value at a fraction of the time, clamped to 0…1.
    double valueAt(double progress) const;

    static constexpr CubicBezier linear() { return {0, 0, 1, 1}; }
    static constexpr CubicBezier easeOut() { return {0, 0, 0.58, 1}; }
    static constexpr CubicBezier easeInOut() { return {0.42, 0, 0.58, 1}; }
};
