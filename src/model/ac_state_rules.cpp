#include "model/ac_state_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ACStateRules {

ACState conform(ACState state, const Pod& pod) {
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

std::optional<QString> pick(const std::optional<QString>& value,
                            const std::optional<QStringList>& options, const QString& preferring) {
    if (!options || options->isEmpty())
        return std::nullopt;
    if (value && options->contains(*value))
        return value;
    if (options->contains(preferring))
        return preferring;
    return options->first();
}

ACState fill(const ACState& answer, const ACState& sent) {
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

qint64 timerMinutes(const QDateTime& now, const QDateTime& at) {
    constexpr qint64 dayMs = 86'400'000;
    qint64 ahead = now.msecsTo(at);
    if (ahead < 0) // the next day on which that time of day still lies ahead
        ahead += (-ahead + dayMs - 1) / dayMs * dayMs;
    return std::max<qint64>(std::llround(double(ahead) / 60'000), 1);
}

} // namespace ACStateRules
