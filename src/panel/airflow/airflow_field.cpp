#include "panel/airflow/airflow_field.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace AirflowField {

namespace {

constexpr double pi = std::numbers::pi;

double frac(double value) {
    return value - std::floor(value);
}

// The part [a, b] of an eddy's curl: a spiral that tightens as it turns, the one on the left
// (`side` -1) turning the other way from the one on the right.
QPainterPath spiral(const QPointF& centre, double radius, double side, double a, double b) {
    QPainterPath path;
    for (int j = 0; j <= 14; ++j) {
        const double u = a + j * (b - a) / 14;
        const double rho = (1 - 0.25 * u) * radius;
        const double phi = pi / 2 - side * u * 4.5553093477052;
        const QPointF point(centre.x() + std::cos(phi) * rho, centre.y() + std::sin(phi) * rho);
        if (j == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    return path;
}

} // namespace

double reach(double aim, double level, double height) {
    return (1.08 - 0.16 * aim) * (0.5 + 0.4 * level) * height;
}

double hash(double n) {
    return frac(std::sin(n * 12.9898 + 78.233) * 43758.5453);
}

const std::array<Seed, 34>& seeds() {
    static const std::array<Seed, 34> table = [] {
        std::array<Seed, 34> made{};
        for (int i = 0; i < 34; ++i)
            made[i] = {hash(4 * i), hash(4 * i + 1), hash(4 * i + 2), hash(4 * i + 3)};
        return made;
    }();
    return table;
}

double intensity(const std::optional<QString>& fanLevel, const std::optional<QString>& mode) {
    static const QHash<QString, double> levels{
        {QStringLiteral("quiet"), 0.15},      {QStringLiteral("low"), 0.3},
        {QStringLiteral("medium_low"), 0.42}, {QStringLiteral("medium"), 0.55},
        {QStringLiteral("medium_high"), 0.7}, {QStringLiteral("high"), 0.85},
        {QStringLiteral("strong"), 1.0}};
    const double value = fanLevel ? levels.value(*fanLevel, 0.5) : 0.5;
    return mode == QStringLiteral("dry") ? value * 0.6 : value;
}

void Flow::advance(double time, double target, std::optional<double> aimTarget) {
    if (level < 0)
        level = 0;
    // A clock that steps back counts as no time passing.
    const double dt = last ? std::clamp(time - *last, 0.0, 0.1) : 0;
    last = time;
    const double k = std::min(2.5 * dt, 1.0);
    level += (target - level) * k;
    if (aimTarget) {
        aim += (*aimTarget - aim) * k;
    } else {
        const double sweep = 0.5 - 0.5 * std::cos(time * pi * 0.25);
        aim += (sweep - aim) * std::min(6 * dt, 1.0);
    }
    progress += dt * (level * 0.45 + 0.22);
}

QList<Stroke> streaks(const QSizeF& size, const Flow& flow) {
    const double w = size.width();
    const double h = size.height();
    const double L = std::max(flow.level, 0.0);
    const double A = flow.aim;
    const double P = flow.progress;
    const double cx = w * 0.5;
    const double R = reach(A, L, h);
    const double F = 0.8 + 0.5 * L;
    QList<Stroke> made;
    if (R <= 0)
        return made;

    const auto& table = seeds();
    for (int i = 0; i < int(table.size()); ++i) {
        const Seed& seed = table[i];
        const double v = (6 + 28 * L) - i;
        if (v <= 0)
            continue;
        const double visibility = std::min(v, 1.0);
        const double f = frac((0.75 + 0.5 * seed.speed) * P + seed.phase);
        const double u = 2 * seed.x - 1;
        const double s = (u < 0 ? -1 : u > 0 ? 1 : 0) * std::pow(std::abs(u), 1.7);
        const double dh = (1 - std::pow(1 - f, 1.6)) * R;
        const double dq = std::max(0.0, dh - (22 + 26 * seed.length) * F);
        const double theta = (seed.x - 0.5) * 0.12 + s * (1.45 - 0.95 * A) * (0.35 + 0.35 * L);
        const double wobble = 3 * std::sin(2.2 * P + 9 * seed.phase);
        const auto point = [&](double d) {
            return QPointF(cx + 40 * s * (1 + 0.8 * d / R) + std::sin(theta) * d + wobble * d / R,
                           6 + std::cos(theta) * d);
        };
        QPainterPath path(point(dq));
        for (int j = 1; j <= 6; ++j)
            path.lineTo(point(dq + j * (dh - dq) / 6));
        const double alpha =
            std::pow(1 - f, 1.3) * std::min(f / 0.08, 1.0) * (0.2 + 0.25 * L) * visibility;
        made.append({path, point(dq), point(dh), alpha * (1 - 0.45 * std::abs(s)), 1.2 + 3.5 * f});
    }
    return made;
}

QList<Stroke> eddies(const QSizeF& size, const Flow& flow, double time) {
    QList<Stroke> made;
    const double L = flow.level;
    if (L <= 0.1)
        return made;
    const double w = size.width();
    const double h = size.height();
    const double r = 16 + 12 * L;
    const double cy = reach(flow.aim, L, h) * 0.78 - r;
    const double slot = std::floor(time * 0.25);

    for (const double n : {slot - 1, slot}) {
        const double start = hash(n) * 1.5 + 4 * n;
        const double p = (time - start) / 1.9;
        if (p <= 0 || p >= 1)
            continue;
        // One eddy on the left or the right, now and then one on each side.
        const double q = hash(n + 7);
        const bool left = q > 0.82 || q < 0.41;
        const bool right = q >= 0.41;
        const double a = std::max(0.0, 1.6 * p - 0.45);
        const double b = std::min(1.0, 1.6 * p);
        if (a >= b)
            continue;
        for (const double side : {-1.0, 1.0}) {
            if (side < 0 ? !left : !right)
                continue;
            const QPointF centre(side < 0 ? r + 22 : w - r - 22, cy);
            const QPainterPath path = spiral(centre, r, side, a, b);
            made.append({path, path.elementAt(0), path.currentPosition(),
                         std::sin(p * pi) * (0.1 + 0.12 * L), 1.6 + 1.5 * p});
        }
    }
    return made;
}

} // namespace AirflowField
