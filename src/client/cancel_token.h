#pragma once

#include <QObject>
#include <functional>
#include <memory>

// A shared handle that lets the owner of a superseded task stop it: cancelling aborts the
// request the task awaits and wakes its sleep. Copies share one state; a default-constructed
// token is a fresh one that nobody else can cancel.
class CancelToken {
public:
    CancelToken();

    void cancel() const;
    bool isCancelled() const;

    // Calls `action` once when the token is cancelled (at once if it already is), as long as
    // `context` lives. The returned connection can be dropped with QObject::disconnect.
    QMetaObject::Connection onCancel(QObject* context, std::function<void()> action) const;

private:
    class State;
    std::shared_ptr<State> state;
};

// Thrown by an awaited operation whose token was cancelled; callers treat it as a non-event.
struct Cancelled {};
