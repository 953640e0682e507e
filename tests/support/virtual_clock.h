#pragma once

#include "model/clock.h"

#include <QList>
#include <chrono>
#include <memory>

// A clock whose time moves only when a test says so. Sleeps wait until advance() passes their
// deadline; cancelled sleeps end at the next turn of the event loop, as with the real clock.
class VirtualClock final : public Clock {
public:
    // Starts at 2024-05-01T10:00:00Z.
    VirtualClock();

    QDateTime now() const override;
    QCoro::Task<> sleep(std::chrono::milliseconds duration, CancelToken cancel) override;

    // Moves time forward by `step`. Each sleep that falls due is woken at its own deadline, in
    // deadline order (ties in the order the sleeps began), and what it continues with runs
    // before the next one is woken; sleeps begun meanwhile are woken too when they fall due
    // within the step.
    void advance(std::chrono::milliseconds step);
    // Milliseconds left of every pending sleep, soonest first.
    QList<qint64> pendingSleeps() const;

private:
    struct State;
    // Static, so that a sleep outliving its clock only touches the shared state.
    static QCoro::Task<> sleepOn(std::shared_ptr<State> state, std::chrono::milliseconds duration,
                                 CancelToken cancel);
    std::shared_ptr<State> clockState;
};
