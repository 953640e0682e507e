#include "support/virtual_clock.h"

#include "model/wakeup.h"

#include <QCoreApplication>
#include <QTimeZone>
#include <map>
#include <utility>

struct VirtualClock::State {
    QDateTime start;
    qint64 elapsed = 0; // milliseconds since start
    quint64 sequence = 0;
    std::map<std::pair<qint64, quint64>, Wakeup> sleepers; // by (deadline, sequence)
};

namespace {
void runPendingWork() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}
} // namespace

QCoro::Task<> VirtualClock::sleepOn(std::shared_ptr<State> state,
                                    std::chrono::milliseconds duration, CancelToken cancel) {
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

VirtualClock::VirtualClock() : clockState(std::make_shared<State>()) {
    clockState->start = QDateTime(QDate(2024, 5, 1), QTime(10, 0), QTimeZone::utc());
}

QDateTime VirtualClock::now() const {
    return clockState->start.addMSecs(clockState->elapsed);
}

QCoro::Task<> VirtualClock::sleep(std::chrono::milliseconds duration, CancelToken cancel) {
    return sleepOn(clockState, duration, std::move(cancel));
}

void VirtualClock::advance(std::chrono::milliseconds step) {
    const qint64 target = clockState->elapsed + step.count();
    runPendingWork();
    while (!clockState->sleepers.empty() && clockState->sleepers.begin()->first.first <= target) {
        auto due = clockState->sleepers.extract(clockState->sleepers.begin());
        clockState->elapsed = std::max(clockState->elapsed, due.key().first);
        due.mapped().wake();
        runPendingWork();
    }
    clockState->elapsed = target;
    runPendingWork();
}

QList<qint64> VirtualClock::pendingSleeps() const {
    QList<qint64> left;
    for (const auto& [key, wakeup] : clockState->sleepers)
        left.append(key.first - clockState->elapsed);
    return left;
}
