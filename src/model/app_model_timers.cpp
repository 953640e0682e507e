#include "model/ac_state_rules.h"
#include "model/app_model.h"

#include <QPointer>
#include <algorithm>
#include <cmath>

using namespace std::chrono_literals;

namespace {
constexpr auto settleAfterFiring = 5s; // before reading the units the timer changed
} // namespace

namespace {
const QString notSent = QStringLiteral("Alvore can't change timers now.");
}

void AppModel::setTimer(const QString& id, qint64 minutes, bool turnOn, Settled done) {
    const qsizetype at = indexOf(id);
    const std::shared_ptr<const SensiboAPI> client = usableClient();
    if (!client || at < 0 || minutes < 1) {
        if (done)
            done(notSent);
        return;
    }
    const Pod& unit = podList.at(at);
    ACState state = unit.acState.value_or(ACState{});
    state.on = turnOn;
    state = ACStateRules::conform(state, unit);
    const std::optional<PodTimer> previous = unit.timer;
    PodTimer local;
    local.isEnabled = true;
    local.acState = state;
    local.fireDate = deps.clock.now().addSecs(minutes * 60);
    setPodTimer(at, local);
    // The service's own timer then replaces the one shown meanwhile.
    sendTimerChange(client, client->setTimer(id, minutes, state, signInSession), id, previous,
                    QStringLiteral("Couldn't set the timer. "), true, signInSession,
                    std::move(done));
}

QCoro::Task<> AppModel::sendTimerChange([[maybe_unused]] std::shared_ptr<const SensiboAPI> client,
                                        QCoro::Task<> request, QString id,
                                        std::optional<PodTimer> previous, QString what,
                                        bool readBack, CancelToken session, Settled done) {
    QPointer<AppModel> self(this);
    std::optional<QString> failed;
    try {
        co_await std::move(request);
    } catch (const Cancelled&) {
        failed = droppedText();
    } catch (const SensiboAPI::Failure& failure) {
        failed = self && !session.isCancelled() ? timerFailed(id, previous, what, failure)
                                                : droppedText();
    }
    if (done)
        done(failed);
    if (readBack && !failed && self && !session.isCancelled())
        co_await refreshTimer(id, session);
}

void AppModel::cancelTimer(const QString& id, Settled done) {
    const qsizetype at = indexOf(id);
    const std::shared_ptr<const SensiboAPI> client = usableClient();
    if (!client || at < 0 || !podList.at(at).timer) {
        if (done)
            done(notSent);
        return;
    }
    const PodTimer previous = *podList.at(at).timer;
    setPodTimer(at, std::nullopt);
    sendTimerChange(client, client->cancelTimer(id, signInSession), id, previous,
                    QStringLiteral("Couldn't cancel the timer. "), false, signInSession,
                    std::move(done));
}

QString AppModel::timerFailed(const QString& id, const std::optional<PodTimer>& previous,
                              const QString& what, const SensiboAPI::Failure& failure) {
    if (const qsizetype at = indexOf(id); at >= 0)
        setPodTimer(at, previous);
    QString text = what + failure.errorDescription();
    show(text);
    return text;
}

void AppModel::timerFired(const QString& id) {
    if (const qsizetype at = indexOf(id); at >= 0)
        setPodTimer(at, std::nullopt);
    refreshAfterTimer();
}

QCoro::Task<> AppModel::refreshAfterTimer() {
    QPointer<AppModel> self(this);
    co_await deps.clock.sleep(settleAfterFiring, CancelToken());
    if (self)
        co_await refresh();
}

QCoro::Task<> AppModel::refreshTimers(CancelToken session) {
    QPointer<AppModel> self(this);
    QStringList ids;
    for (const Pod& pod : std::as_const(podList))
        ids.append(pod.id);
    for (const QString& id : std::as_const(ids)) {
        if (!self || session.isCancelled())
            co_return;
        co_await refreshTimer(id, session);
    }
}

QCoro::Task<> AppModel::refreshTimer(QString id, CancelToken session) {
    const std::shared_ptr<const SensiboAPI> client = usableClient();
    if (!client)
        co_return;
    QPointer<AppModel> self(this);
    std::optional<PodTimer> answer;
    try {
        answer = co_await client->timer(id, session);
    } catch (const Cancelled&) {
        co_return;
    } catch (const SensiboAPI::Failure&) {
        co_return; // as good as no answer: what the model holds stays
    }
    // Without a timer on the service, a timer held here stays until it fires or is cancelled.
    if (!self || session.isCancelled() || !answer)
        co_return;
    if (const qsizetype at = indexOf(id); at >= 0)
        setPodTimer(at, answer->isPending(deps.clock.now()) ? answer : std::nullopt);
}

void AppModel::setPodTimer(qsizetype index, std::optional<PodTimer> timer) {
    if (podList.at(index).timer == timer)
        return;
    podList[index].timer = std::move(timer);
    Q_EMIT podsChanged();
}
