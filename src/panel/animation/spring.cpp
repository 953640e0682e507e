#include "panel/animation/spring.h"

#include <algorithm>
#include <cmath>
#include <numbers>

Spring::Spring(double response, double dampingFraction, FrameTicker* ticker, QObject* parent)
    : Animation(ticker, parent), omega(2 * std::numbers::pi / std::max(response, 1e-3)),
      damping(std::clamp(dampingFraction, 0.0, 1.0)) {
}

void Spring::retarget() {
    // At rest once within a thousandth of the distance (or of the velocity's reach) it set off
    // with, so that small and large moves settle alike.
    const double reach = std::max(std::abs(value() - goalValue()), std::abs(speed) / omega);
    tolerance = std::max(reach, 1e-6) * 1e-3;
}

bool Spring::step(double t) {
    // The closed-form motion of the damped oscillator over t, exact for any frame length.
    const double x0 = value() - goalValue();
    const double v0 = speed;
    double x = 0;
    double v = 0;
    if (damping < 1 - 1e-6) {
        const double decay = damping * omega;
        const double wd = omega * std::sqrt(1 - damping * damping);
        const double b = (v0 + decay * x0) / wd;
        const double e = std::exp(-decay * t);
        const double c = std::cos(wd * t);
        const double s = std::sin(wd * t);
        x = e * (x0 * c + b * s);
        v = e * (-decay * (x0 * c + b * s) + wd * (b * c - x0 * s));
    } else {
        const double k = v0 + omega * x0;
        const double e = std::exp(-omega * t);
        x = e * (x0 + k * t);
        v = e * (v0 - omega * k * t);
    }
    if (std::abs(x) < tolerance && std::abs(v) < tolerance * omega) {
        speed = 0;
        show(goalValue());
        return false;
    }
    speed = v;
    show(goalValue() + x);
    return true;
}
