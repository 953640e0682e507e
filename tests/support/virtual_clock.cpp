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

VirtualClock::VirtualClock()
    : VirtualClock(QDateTime(QDate(2024, 5, 1), QTime(10, 0), QTimeZone::utc())) {
}

VirtualClock::VirtualClock(QDateTime start) : m_state(std::make_shared<State>()) {
    m_state->start = std::move(start);
}

QDateTime VirtualClock::now() const {
    return m_state->start.addMSecs(m_state->elapsed);
}

QCoro::Task<> VirtualClock::sleep(std::chrono::milliseconds duration, CancelToken cancel) {
    return sleepOn(m_state, duration, std::move(cancel));
}

void VirtualClock::advance(std::chrono::milliseconds step) {
    const qint64 target = m_state->elapsed + step.count();
    runPendingWork();
    while (!m_state->sleepers.empty() && m_state->sleepers.begin()->first.first <= target) {
        auto due = m_state->sleepers.extract(m_state->sleepers.begin());
        m_state->elapsed = std::max(m_state->elapsed, due.key().first);
        due.mapped().wake();
        runPendingWork();
    }
    m_state->elapsed = target;
    runPendingWork();
}

QList<qint64> VirtualClock::pendingSleeps() const {
    QList<qint64> left;
    for (const auto& [key, wakeup] : m_state->sleepers)
        left.append(key.first - m_state->elapsed);
    return left;
}
