#pragma once

#include "panel/animation/frame_ticker.h"

// A damped spring toward the target, given by its response (the period of the undamped
// oscillation, in seconds) and its damping fraction (1 is critically damped, less overshoots;
// more than 1 counts as 1). Retargeting in flight keeps the current velocity.
class Spring : public Animation {
    Q_OBJECT
public:
    Spring(double response, double dampingFraction, FrameTicker* ticker = nullptr,
           QObject* parent = nullptr);

    double velocity() const { return speed; }

protected:
    void retarget() override;
    bool step(double t) override;
    void rest() override { speed = 0; }

private:
    double omega;   // undamped angular frequency
    double damping; // fraction, at most 1
    double speed = 0;
    double tolerance = 0;
};
