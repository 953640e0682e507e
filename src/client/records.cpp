#include "client/records.h"

#include <algorithm>

bool PodTimer::isPending(const QDateTime& now) const {
    return isEnabled.value_or(true) && fireDate && *fireDate > now;
}

QStringList Pod::modes() const {
    if (!remoteCapabilities || !remoteCapabilities->modes)
        return {};
    static const QStringList known = {"cool", "heat", "fan", "dry", "auto"};
    const QStringList names = remoteCapabilities->modes->keys(); // sorted
    QStringList ordered;
    for (const QString& mode : known)
        if (names.contains(mode))
            ordered.append(mode);
    for (const QString& mode : names)
        if (!known.contains(mode))
            ordered.append(mode);
    return ordered;
}

std::optional<ModeCapabilities> Pod::capabilities(const std::optional<QString>& mode) const {
    const std::optional<QString> name = mode ? mode : acState ? acState->mode : std::nullopt;
    if (!name || !remoteCapabilities || !remoteCapabilities->modes)
        return std::nullopt;
    const auto entry = remoteCapabilities->modes->constFind(*name);
    if (entry == remoteCapabilities->modes->cend())
        return std::nullopt;
    return *entry;
}

QList<qint64> Pod::temperatures(const ACState& state) const {
    const auto mode = capabilities(state.mode);
    if (!mode || !mode->temperatures)
        return {};
    return mode->temperatures->value(state.temperatureUnit.value_or("C")).values;
}

QStringList Pod::fanLevels() const {
    static const QStringList order = {"auto",   "quiet",       "low",  "medium_low",
                                      "medium", "medium_high", "high", "strong"};
    const auto mode = capabilities();
    QStringList levels = mode ? mode->fanLevels.value_or(QStringList{}) : QStringList{};
    const auto rank = [](const QString& level) {
        const qsizetype index = order.indexOf(level);
        return index < 0 ? order.size() : index;
    };
    std::stable_sort(levels.begin(), levels.end(),
                     [&](const QString& a, const QString& b) { return rank(a) < rank(b); });
    return levels;
}

QString Pod::model() const {
    QString name = productModel.value_or(QString()).toLower();
    if (name.startsWith("sky"))
        return "Sky";
    if (name.startsWith("airq") || name.contains("pro"))
        return "Air Pro";
    if (name.startsWith("elements") || name.startsWith("pure"))
        return "Elements";
    if (name.startsWith("air"))
        return "Air";
    if (name.isEmpty())
        return "Sensibo";
    return name;
}

QString Pod::displayName() const {
    if (room && room->name)
        return *room->name;
    return "Sensibo " + id.left(4);
}
