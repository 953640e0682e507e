#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <coroutine>
#include <memory>
#include <utility>

// A one-shot event that one coroutine awaits. wake() resumes it from the event loop, never
// inside wake() itself, so whoever wakes it may be in the middle of anything (a signal of an
// object the coroutine owns, a cancel() of its owner). Copies share one state; waking twice is
// the same as waking once.
class Wakeup {
public:
    bool await_ready() const noexcept { return wakeState->woken; }
    void await_suspend(std::coroutine_handle<> waiter) noexcept { wakeState->waiter = waiter; }
    void await_resume() const noexcept {}

    void wake() const {
        if (wakeState->woken)
            return;
        wakeState->woken = true;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [state = wakeState] {
                if (state->waiter)
                    std::exchange(state->waiter, {}).resume();
            },
            Qt::QueuedConnection);
    }

private:
    struct State {
        bool woken = false;
        std::coroutine_handle<> waiter;
    };
    std::shared_ptr<State> wakeState = std::make_shared<State>();
};
