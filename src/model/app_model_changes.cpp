#include "client/app_log.h"
#include "model/app_model.h"

#include <QPointer>
#include <algorithm>
#include <cstdlib>

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
    next = conform(next, podList.at(at));
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
        heldWhileOff.insert(id, next);
        return;
    }
    heldWhileOff.remove(id);
    if (!rollbacks.contains(id))
        rollbacks.insert(id, old);
    setPodState(at, next);

    if (const auto sending = pendingSends.constFind(id); sending != pendingSends.cend())
        sending->cancel();
    const CancelToken token;
    pendingSends.insert(id, token);
    send(id, next, debounce, client, token);
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
        rollbacks.remove(id);
        settled(id, std::nullopt);
        const qsizetype at = indexOf(id);
        if (!answer || at < 0)
            co_return;
        // The user switched the unit off and adjusted it while this request was under way.
        const auto held = heldWhileOff.constFind(id);
        setPodState(at, held != heldWhileOff.cend() ? *held : fill(*answer, next));
    } catch (const Cancelled&) {
    } catch (const SensiboAPI::Failure& failure) {
        if (!self || cancel.isCancelled())
            co_return;
        const qsizetype at = indexOf(id);
        if (const auto before = rollbacks.constFind(id); before != rollbacks.cend()) {
            if (at >= 0)
                setPodState(at, *before);
            rollbacks.remove(id);
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
    if (rollbacks.contains(id))
        settleWaiters[id].append(std::move(done));
    else
        done(std::nullopt);
}

void AppModel::settled(const QString& id, const std::optional<QString>& failure) {
    for (const Settled& done : settleWaiters.take(id))
        done(failure);
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

ACState AppModel::conform(ACState state, const Pod& pod) {
    const QStringList modes = pod.modes();
    if (state.mode && !modes.isEmpty() && !modes.contains(*state.mode)) {
        const bool hasCurrent = pod.acState && pod.acState->mode;
        state.mode = hasCurrent ? *pod.acState->mode : modes.first();
    }
    const std::optional<ModeCapabilities> caps = pod.capabilities(state.mode);
    if (!caps)
        return state;

    const QString unit = state.temperatureUnit.value_or(QStringLiteral("C"));
    state.temperatureUnit = unit;
    const QList<qint64> values =
        caps->temperatures ? caps->temperatures->value(unit).values : QList<qint64>{};
    if (values.isEmpty()) {
        state.targetTemperature.reset();
    } else {
        const qint64 wanted = state.targetTemperature.value_or(values.at(values.size() / 2));
        // The nearest allowed value; on a tie, the one listed first.
        state.targetTemperature =
            *std::min_element(values.cbegin(), values.cend(), [wanted](qint64 a, qint64 b) {
                return std::abs(a - wanted) < std::abs(b - wanted);
            });
    }
    state.fanLevel = pick(state.fanLevel, caps->fanLevels, QStringLiteral("auto"));
    state.swing = pick(state.swing, caps->swing, QStringLiteral("stopped"));
    state.horizontalSwing =
        pick(state.horizontalSwing, caps->horizontalSwing, QStringLiteral("stopped"));
    state.light = pick(state.light, caps->light, QStringLiteral("on"));
    return state;
}

std::optional<QString> AppModel::pick(const std::optional<QString>& value,
                                      const std::optional<QStringList>& options,
                                      const QString& preferring) {
    if (!options || options->isEmpty())
        return std::nullopt;
    if (value && options->contains(*value))
        return value;
    if (options->contains(preferring))
        return preferring;
    return options->first();
}

ACState AppModel::fill(const ACState& answer, const ACState& sent) {
    ACState filled;
    filled.on = answer.on ? answer.on : sent.on;
    filled.mode = answer.mode ? answer.mode : sent.mode;
    filled.targetTemperature =
        answer.targetTemperature ? answer.targetTemperature : sent.targetTemperature;
    filled.temperatureUnit = answer.temperatureUnit ? answer.temperatureUnit : sent.temperatureUnit;
    filled.fanLevel = answer.fanLevel ? answer.fanLevel : sent.fanLevel;
    filled.swing = answer.swing ? answer.swing : sent.swing;
    filled.horizontalSwing = answer.horizontalSwing;
    filled.light = answer.light;
    return filled;
}
