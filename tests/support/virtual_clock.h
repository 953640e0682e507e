#pragma once

#include "model/clock.h"
#include "model/wakeup.h"

#include <QCoreApplication>
#include <QList>
#include <QTimeZone>
#include <map>
#include <memory>
#include <utility>

// A clock whose time moves only when a test says so, from 2024-05-01T10:00:00Z. Sleeps wait
// until advance() passes their deadline; cancelled sleeps end at the next turn of the event
// loop, as with the real clock.
class VirtualClock final : public Clock {
public:
    QDateTime now() const override {
        return QDateTime(QDate(2024, 5, 1), QTime(10, 0), QTimeZone::utc())
            .addMSecs(clockState->elapsed);
    }
    QCoro::Task<> sleep(std::chrono::milliseconds duration, CancelToken cancel) override {
        return sleepOn(clockState, duration, std::move(cancel));
    }

    // Moves time forward by `step`. Each sleep that falls due is woken at its own deadline, in
    // deadline order (ties in the order the sleeps began), and what it continues with runs
    // before the next one is woken; sleeps begun meanwhile are woken too when they fall due
    // within the step.
    void advance(std::chrono::milliseconds step) {
        const qint64 target = clockState->elapsed + step.count();
        runPendingWork();
        auto& sleepers = clockState->sleepers;
        while (!sleepers.empty() && sleepers.begin()->first.first <= target) {
            auto due = sleepers.extract(sleepers.begin());
            clockState->elapsed = std::max(clockState->elapsed, due.key().first);
            due.mapped().wake();
            runPendingWork();
        }
        clockState->elapsed = target;
        runPendingWork();
    }
    // Milliseconds left of every pending sleep, soonest first.
    QList<qint64> pendingSleeps() const {
        QList<qint64> left;
        for (const auto& [key, wakeup] : clockState->sleepers)
            left.append(key.first - clockState->elapsed);
        return left;
    }

private:
    struct State {
        qint64 elapsed = 0; // milliseconds since the start
        quint64 sequence = 0;
        std::map<std::pair<qint64, quint64>, Wakeup> sleepers; // by (deadline, sequence)
    };
    static void runPendingWork() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    // Static, so that a sleep outliving its clock only touches the shared state.
    static QCoro::Task<> sleepOn(std::shared_ptr<State> state, std::chrono::milliseconds duration,
                                 CancelToken cancel) {
        if (cancel.isCancelled())
            co_return;
        Wakeup wakeup;
        const std::pair key{state->elapsed + duration.count(), state->sequence++};
        state->sleepers.emplace(key, wakeup);
        QObject context;
        cancel.onCancel(&context, [wakeup] { wakeup.wake(); });
        co_await wakeup;
        state->sleepers.erase(key);
    }
    std::shared_ptr<State> clockState = std::make_shared<State>();
};
