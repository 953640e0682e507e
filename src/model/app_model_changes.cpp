#include "client/app_log.h"
#include "model/ac_state_rules.h"
#include "model/app_model.h"

#include <QPointer>
#include <algorithm>

using namespace std::chrono_literals;

namespace {
constexpr auto quietPeriod = 600ms; // before a temperature or fan step is sent
}

void AppModel::change(const QString& id, bool debounce, const std::function<void(ACState&)>& edit) {
    const qsizetype at = indexOf(id);
    if (at < 0)
        return;
    const ACState old = podList.at(at).acState.value_or(ACState{});
    ACState next = old;
    edit(next);
    next = ACStateRules::conform(next, podList.at(at));
    if (next == old)
        return;
    if (inDemo) {
        setPodState(at, next);
        return;
    }
    const std::shared_ptr<const SensiboAPI> client = usableClient();
    if (!client)
        return;
    // Settings for a unit that is off and stays off go out with its next power-on.
    if (!old.isOn() && !next.isOn()) {
        setPodState(at, next);
        changes[id].heldWhileOff = next;
        return;
    }
    {
        UnitChange& change = changes[id];
        change.heldWhileOff.reset();
        if (!change.rollback)
            change.rollback = old;
    }
    setPodState(at, next);

    // Found again: a view that heard of the new state may have changed the records since.
    UnitChange& change = changes[id];
    change.send.cancel();
    change.send = CancelToken();
    send(id, next, debounce, client, change.send);
}

QCoro::Task<> AppModel::send(QString id, ACState next, bool debounce,
                             std::shared_ptr<const SensiboAPI> client, CancelToken cancel) {
    QPointer<AppModel> self(this);
    if (debounce)
        co_await deps.clock.sleep(quietPeriod, cancel);
    if (!self || cancel.isCancelled())
        co_return;
    try {
        const std::optional<ACState> answer = co_await client->setState(id, next, cancel);
        // A newer change of the unit owns its state (and the rollback) now.
        if (!self || cancel.isCancelled())
            co_return;
        if (const auto change = changes.find(id); change != changes.end())
            change->rollback.reset();
        settled(id, std::nullopt);
        const qsizetype at = indexOf(id);
        if (!answer || at < 0)
            co_return;
        // The user switched the unit off and adjusted it while this request was under way.
        const std::optional<ACState> held = changes.value(id).heldWhileOff;
        setPodState(at, held ? *held : ACStateRules::fill(*answer, next));
    } catch (const Cancelled&) {
    } catch (const SensiboAPI::Failure& failure) {
        if (!self || cancel.isCancelled())
            co_return;
        const qsizetype at = indexOf(id);
        if (const std::optional<ACState> before = changes.value(id).rollback) {
            if (at >= 0)
                setPodState(at, *before);
            if (const auto change = changes.find(id); change != changes.end())
                change->rollback.reset();
        }
        const QString name = at < 0 ? QStringLiteral("the AC") : podList.at(at).displayName();
        const QString text = QStringLiteral("Couldn't change ") + name + QStringLiteral(". ") +
                             failure.errorDescription();
        show(text);
        settled(id, text);
        AppLog::write(QStringLiteral("change failed for ") + id + QStringLiteral(": ") +
                      failure.errorDescription());
    }
}

void AppModel::whenSettled(const QString& id, Settled done) {
    if (const auto change = changes.find(id); change != changes.end() && change->rollback)
        change->waiters.append(std::move(done));
    else
        done(std::nullopt);
}

void AppModel::settled(const QString& id, const std::optional<QString>& failure) {
    const QList<Settled> waiters =
        changes.contains(id) ? std::exchange(changes[id].waiters, {}) : QList<Settled>{};
    forgetSettled(id);
    for (const Settled& done : waiters)
        done(failure);
}

void AppModel::forgetSettled(const QString& id) {
    const auto change = changes.constFind(id);
    if (change != changes.cend() && !change->rollback && !change->heldWhileOff &&
        change->waiters.isEmpty())
        changes.erase(change);
}

void AppModel::togglePower(const QString& id) {
    change(id, false, [](ACState& state) { state.on = !state.isOn(); });
}

void AppModel::setMode(const QString& id, const QString& mode) {
    change(id, false, [&mode](ACState& state) {
        state.mode = mode;
        state.on = true;
    });
}

void AppModel::step(const QString& id, int by) {
    const std::optional<Pod> unit = pod(id);
    if (!unit || !unit->acState || !unit->acState->targetTemperature)
        return;
    const QList<qint64> values = unit->temperatures(*unit->acState);
    const qint64 current = *unit->acState->targetTemperature;
    std::optional<qint64> target;
    if (by > 0) {
        const auto up = std::find_if(values.cbegin(), values.cend(),
                                     [current](qint64 value) { return value > current; });
        if (up != values.cend())
            target = *up;
    } else {
        const auto down = std::find_if(values.crbegin(), values.crend(),
                                       [current](qint64 value) { return value < current; });
        if (down != values.crend())
            target = *down;
    }
    if (target)
        change(id, true, [target](ACState& state) { state.targetTemperature = target; });
}

void AppModel::stepFan(const QString& id, int by) {
    const std::optional<Pod> unit = pod(id);
    if (!unit)
        return;
    const QStringList levels = unit->fanLevels();
    const std::optional<QString> level = unit->acState ? unit->acState->fanLevel : std::nullopt;
    const qsizetype place = std::max<qsizetype>(level ? levels.indexOf(*level) : 0, 0) + by;
    if (place >= 0 && place < levels.size())
        change(id, true, [&levels, place](ACState& state) { state.fanLevel = levels.at(place); });
}
