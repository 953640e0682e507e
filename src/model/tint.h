#pragma once

#include <QString>
#include <optional>

// A colour role the model gives a unit's accent and its dropdown rows; the panel's palette maps
// each role to its colour; neutral is plain white, for a dropdown that speaks for no mode.
enum class Tint { cool, warm, neutral };

// A unit's accent: warm in heat mode, cool in every other mode and without one.
inline Tint accentTint(const std::optional<QString>& mode) {
    return mode == QStringLiteral("heat") ? Tint::warm : Tint::cool;
}
