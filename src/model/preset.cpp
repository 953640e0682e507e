#include "model/preset.h"

#include "client/json_codec.h"
#include "model/stored_record.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace {
const auto storeKey = QStringLiteral("presets");

// 8-4-4-4-12 hexadecimal digits, without braces.
bool isUuidText(const QString& text) {
    static const QRegularExpression form(QStringLiteral(
        "^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
    return form.match(text).hasMatch();
}

Preset decodePreset(const QJsonValue& value, const DecodeContext& context) {
    const QJsonObject object = decodeJson<QJsonObject>(value, context);
    const QString id = decodeRequiredMember<QString>(object, QStringLiteral("id"), context);
    if (!isUuidText(id))
        context.at(QStringLiteral("id")).fail(QStringLiteral("not a UUID"));
    return {QUuid::fromString(id),
            decodeRequiredMember<QString>(object, QStringLiteral("podID"), context),
            decodeRequiredMember<QString>(object, QStringLiteral("name"), context),
            decodeRequiredMember<ACState>(object, QStringLiteral("state"), context)};
}
} // namespace

QList<Preset> Preset::load(QSettings& store) {
    return loadStoredRecord(store, storeKey, &fromJson).value_or(QList<Preset>{});
}

void Preset::save(const QList<Preset>& presets, QSettings& store) {
    saveStoredRecord(store, storeKey, toJson(presets));
}

QByteArray Preset::toJson(const QList<Preset>& presets) {
    QByteArrayList entries;
    for (const Preset& preset : presets) {
        const QString id = preset.id.toString(QUuid::WithoutBraces).toUpper();
        entries.append(encodeJsonObject({{QStringLiteral("id"), encodeJsonString(id)},
                                         {QStringLiteral("podID"), encodeJsonString(preset.podID)},
                                         {QStringLiteral("name"), encodeJsonString(preset.name)},
                                         {QStringLiteral("state"), encodeJson(preset.state)}}));
    }
    return '[' + entries.join(',') + ']';
}

std::optional<QList<Preset>> Preset::fromJson(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    const QJsonArray array = document.array();
    const DecodeContext context{QDateTime::currentDateTimeUtc(), storeKey};
    QList<Preset> presets;
    try {
        for (qsizetype i = 0; i < array.size(); ++i)
            presets.append(decodePreset(array.at(i), context.at(i)));
    } catch (const DecodeError&) {
        return std::nullopt;
    }
    return presets;
}

QString Preset::describe(const ACState& state) {
    QString text = state.mode ? ACMode::title(*state.mode) : QString();
    if (state.targetTemperature)
        text += u' ' + QString::number(*state.targetTemperature) + u'\u00B0';
    if (state.fanLevel && *state.fanLevel != u"auto") {
        const QString level = QString(*state.fanLevel).replace(u'_', u' ');
        const QString first = prefix(level, 1);
        text += QStringLiteral(" \u00B7 ") + first.toUpper() + level.mid(first.size());
    }
    return text;
}

QString Preset::prefix(const QString& text, qsizetype count) {
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (qsizetype taken = 0; taken < count; ++taken) {
        const qsizetype next = boundaries.toNextBoundary();
        if (next < 0)
            break;
        end = next;
    }
    return text.left(end);
}

bool Preset::matches(const ACState& current) const {
    const auto agrees = [](const auto& wanted, const auto& actual) {
        return !wanted || wanted == actual;
    };
    return agrees(state.mode, current.mode) &&
           agrees(state.targetTemperature, current.targetTemperature) &&
           agrees(state.fanLevel, current.fanLevel);
}

void Preset::applyTo(ACState& target) const {
    target.on = state.on.value_or(true);
    if (state.mode)
        target.mode = state.mode;
    if (state.targetTemperature) {
        target.targetTemperature = state.targetTemperature;
        if (state.temperatureUnit)
            target.temperatureUnit = state.temperatureUnit;
    }
    if (state.fanLevel)
        target.fanLevel = state.fanLevel;
    if (state.swing)
        target.swing = state.swing;
}

bool Preset::move(QList<Preset>& presets, const QUuid& id, int offset) {
    const auto found = std::find_if(presets.cbegin(), presets.cend(),
                                    [&id](const Preset& preset) { return preset.id == id; });
    if (found == presets.cend())
        return false;
    QList<qsizetype> group; // places in the whole list of this unit's presets
    for (qsizetype i = 0; i < presets.size(); ++i) {
        if (presets.at(i).podID == found->podID)
            group.append(i);
    }
    const qsizetype place = group.indexOf(found - presets.cbegin());
    const qsizetype target = place + offset;
    if (target < 0 || target >= group.size())
        return false;
    presets.swapItemsAt(group.at(place), group.at(target));
    return true;
}
