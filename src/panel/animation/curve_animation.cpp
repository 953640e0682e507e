#include "panel/animation/curve_animation.h"

#include <algorithm>

CurveAnimation::CurveAnimation(CubicBezier curve, double duration, FrameTicker* ticker,
                               QObject* parent)
    : Animation(ticker, parent), curve(curve), duration(duration) {
}

void CurveAnimation::retarget() {
    from = value();
    elapsed = 0;
}

bool CurveAnimation::step(double seconds) {
    elapsed += seconds;
    const double progress = duration > 0 ? std::min(elapsed / duration, 1.0) : 1.0;
    show(progress < 1 ? from + (goalValue() - from) * curve.valueAt(progress) : goalValue());
    return progress < 1;
}
