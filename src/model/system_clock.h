#pragma once

#include "model/clock.h"

// The real clock: wall time for "now", and sleeps on CLOCK_BOOTTIME, which keeps running while
// the computer is suspended, so a poll that fell due during sleep happens at wake-up.
class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    QCoro::Task<> sleep(std::chrono::milliseconds duration, CancelToken cancel) override;
};
