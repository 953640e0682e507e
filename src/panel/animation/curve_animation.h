#pragma once

#include "panel/animation/frame_ticker.h"
#include "panel/animation/timing_curve.h"

// Moves from where the value stands to the target along `curve` in `duration` seconds.
class CurveAnimation : public Animation {
    Q_OBJECT
public:
    CurveAnimation(CubicBezier curve, double duration, FrameTicker* ticker = nullptr,
                   QObject* parent = nullptr);

protected:
    void retarget() override;
    bool step(double seconds) override;
    void rest() override { elapsed = 0; }

private:
    CubicBezier curve;
    double duration;
    double from = 0;
    double elapsed = 0;
};
