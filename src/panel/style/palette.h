#pragma once

#include "model/tint.h"

#include <QColor>
#include <QString>
#include <optional>

// The named colours of the panel (sRGB) and its text colours in the dark appearance.
namespace Palette {

inline QColor white(qreal opacity) {
    return QColor::fromRgbF(1, 1, 1, float(opacity));
}

inline QColor background() {
    return QColor::fromRgbF(0.12f, 0.12f, 0.12f);
}
inline QColor card() {
    return QColor::fromRgbF(0.17f, 0.17f, 0.17f);
}
inline QColor line() {
    return white(0.07);
}
inline QColor cool() {
    return QColor::fromRgbF(0.2f, 0.56f, 1.0f);
}
inline QColor warm() {
    return QColor::fromRgbF(1.0f, 0.55f, 0.22f);
}

inline QColor primaryText() {
    return white(1);
}
inline QColor secondaryText() {
    return white(0.55);
}
inline QColor tertiaryText() {
    return white(0.25);
}

inline QColor tint(Tint role) {
    switch (role) {
    case Tint::warm:
        return warm();
    case Tint::neutral:
        return white(1);
    case Tint::cool:
        break;
    }
    return cool();
}
// The colour `t` of the way from `from` to `to` (0 to 1), alpha included.
inline QColor mix(const QColor& from, const QColor& to, qreal t) {
    const auto lerp = [t](float a, float b) { return float(a + (b - a) * t); };
    return QColor::fromRgbF(lerp(from.redF(), to.redF()), lerp(from.greenF(), to.greenF()),
                            lerp(from.blueF(), to.blueF()), lerp(from.alphaF(), to.alphaF()));
}

// A unit's accent (its glow).
inline QColor accent(const std::optional<QString>& mode) {
    return tint(accentTint(mode));
}

} // namespace Palette
