#include "model/ac_state_rules.h"
#include "model/app_model.h"
#include "model/unit_features.h"

#include <QPointer>
#include <algorithm>
#include <cmath>

using namespace std::chrono_literals;

namespace {
constexpr auto settleAfterFiring = 5s; // before reading the units the timer changed
const QString notSent = QStringLiteral("Alvore can't change timers now.");
} // namespace

void UnitFeatures::setTimer(const QString& id, qint64 minutes, bool turnOn, Settled done) {
    const qsizetype at = model.indexOf(id);
    const std::shared_ptr<const SensiboAPI> client = model.usableClient();
    if (!client || at < 0 || minutes < 1) {
        if (done)
            done(notSent);
        return;
    }
    const Pod& unit = model.podList.at(at);
    ACState state = unit.acState.value_or(ACState{});
    state.on = turnOn;
    state = ACStateRules::conform(state, unit);
    const std::optional<PodTimer> previous = unit.timer;
    PodTimer local;
    local.isEnabled = true;
    local.acState = state;
    local.fireDate = model.deps.clock.now().addSecs(minutes * 60);
    showTimer(id, local);
    // The service's own timer then replaces the one shown meanwhile.
    sendTimer(client, client->setTimer(id, minutes, state, model.signInSession), id, previous,
              QStringLiteral("Couldn't set the timer. "), true, model.signInSession,
              std::move(done));
}

QCoro::Task<> UnitFeatures::sendTimer([[maybe_unused]] std::shared_ptr<const SensiboAPI> client,
                                      QCoro::Task<> request, QString id,
                                      std::optional<PodTimer> previous, QString what, bool readBack,
                                      CancelToken session, Settled done) {
    QPointer<AppModel> self(&model);
    std::optional<QString> failed;
    try {
        co_await std::move(request);
    } catch (const Cancelled&) {
        failed = AppModel::droppedText();
    } catch (const SensiboAPI::Failure& failure) {
        failed = self && !session.isCancelled() ? timerRefused(id, previous, what, failure)
                                                : AppModel::droppedText();
    }
    if (done)
        done(failed);
    if (readBack && !failed && self && !session.isCancelled())
        co_await refreshTimer(id, session);
}

void UnitFeatures::cancelTimer(const QString& id, Settled done) {
    const qsizetype at = model.indexOf(id);
    const std::shared_ptr<const SensiboAPI> client = model.usableClient();
    if (!client || at < 0 || !model.podList.at(at).timer) {
        if (done)
            done(notSent);
        return;
    }
    const PodTimer previous = *model.podList.at(at).timer;
    showTimer(id, std::nullopt);
    sendTimer(client, client->cancelTimer(id, model.signInSession), id, previous,
              QStringLiteral("Couldn't cancel the timer. "), false, model.signInSession,
              std::move(done));
}

QString UnitFeatures::timerRefused(const QString& id, const std::optional<PodTimer>& previous,
                                   const QString& what, const SensiboAPI::Failure& failure) {
    showTimer(id, previous);
    QString text = what + failure.errorDescription();
    model.show(text);
    return text;
}

void UnitFeatures::timerFired(const QString& id) {
    showTimer(id, std::nullopt);
    refreshLater();
}

QCoro::Task<> UnitFeatures::refreshLater() {
    QPointer<AppModel> self(&model);
    co_await model.deps.clock.sleep(settleAfterFiring, CancelToken());
    if (self)
        co_await model.refresh();
}

QCoro::Task<> UnitFeatures::refreshTimers(CancelToken session) {
    QPointer<AppModel> self(&model);
    QStringList ids;
    for (const Pod& pod : std::as_const(model.podList))
        ids.append(pod.id);
    for (const QString& id : std::as_const(ids)) {
        if (!self || session.isCancelled())
            co_return;
        co_await refreshTimer(id, session);
    }
}

QCoro::Task<> UnitFeatures::refreshTimer(QString id, CancelToken session) {
    const std::shared_ptr<const SensiboAPI> client = model.usableClient();
    if (!client)
        co_return;
    QPointer<AppModel> self(&model);
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
    showTimer(id, answer->isPending(model.deps.clock.now()) ? answer : std::nullopt);
}

void UnitFeatures::showTimer(const QString& id, std::optional<PodTimer> timer) {
    const qsizetype at = model.indexOf(id);
    if (at < 0 || model.podList.at(at).timer == timer)
        return;
    model.podList[at].timer = std::move(timer);
    Q_EMIT model.podsChanged();
}
