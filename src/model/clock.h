#pragma once

#include "client/cancel_token.h"

#include <QCoro/QCoroTask>
#include <QDateTime>
#include <chrono>

// The model's one source of time: the current time point and sleeps. The running app uses
// SystemClock; tests drive a virtual clock.
class Clock {
public:
    virtual ~Clock() = default;

    // The current time point, in UTC.
    virtual QDateTime now() const = 0;
    // Suspends the calling coroutine for `duration`, counting time the system spends suspended.
    // Ends early when `cancel` fires (or already has); callers tell the two apart by asking
    // the token.
    virtual QCoro::Task<> sleep(std::chrono::milliseconds duration, CancelToken cancel) = 0;
};
