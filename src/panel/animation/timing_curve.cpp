#include "panel/animation/timing_curve.h"

#include <algorithm>
#include <cmath>

namespace {

// One coordinate of the curve at parameter t, with control values a and b.
double coordinate(double a, double b, double t) {
    const double u = 1 - t;
    return 3 * u * u * t * a + 3 * u * t * t * b + t * t * t;
}

double slope(double a, double b, double t) {
    const double u = 1 - t;
    return 3 * u * u * a + 6 * u * t * (b - a) + 3 * t * t * (1 - b);
}

} // namespace

double CubicBezier::valueAt(double progress) const {
    const double x = std::clamp(progress, 0.0, 1.0);
    // Newton's method finds the parameter whose x is `progress`; bisection takes over where
    // the curve is too flat for it. x(t) rises monotonically since x1 and x2 lie in 0…1.
    double t = x;
    for (int i = 0; i < 8; ++i) {
        const double error = coordinate(x1, x2, t) - x;
        if (std::abs(error) < 1e-9)
            return coordinate(y1, y2, t);
        const double d = slope(x1, x2, t);
        if (std::abs(d) < 1e-6)
            break;
        t = std::clamp(t - error / d, 0.0, 1.0);
    }
    double low = 0;
    double high = 1;
    t = x;
    for (int i = 0; i < 60 && high - low > 1e-12; ++i) {
        (coordinate(x1, x2, t) < x ? low : high) = t;
        t = (low + high) / 2;
    }
    return coordinate(y1, y2, t);
}
