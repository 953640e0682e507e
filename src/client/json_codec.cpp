#include "client/json_codec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QMap>
#include <QVariant>
#include <cmath>

namespace {

QString typeName(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("a boolean");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::String:
        return QStringLiteral("a string");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
}

[[noreturn]] void failType(const QString& expected, const QJsonValue& value,
                           const DecodeContext& context) {
    context.fail(QStringLiteral("expected %1, found %2").arg(expected, typeName(value)));
}

// The integer a number stands for, if it is integral and within 64 bits.
std::optional<qint64> exactInteger(const QJsonValue& value) {
    const QVariant number = value.toVariant();
    if (number.typeId() == QMetaType::LongLong)
        return number.toLongLong();
    const double real = value.toDouble();
    if (std::trunc(real) != real || real < -0x1p63 || real >= 0x1p63)
        return std::nullopt; // also rejects NaN and infinities
    return static_cast<qint64>(real);
}

// A number rounded to the nearest integer, halves away from zero; absent when the result does
// not fit 64 bits.
std::optional<qint64> roundedInteger(const QJsonValue& value) {
    if (const auto exact = exactInteger(value))
        return exact;
    const double rounded = std::round(value.toDouble());
    if (!(rounded >= -0x1p63 && rounded < 0x1p63))
        return std::nullopt;
    return static_cast<qint64>(rounded);
}

// targetTemperature: an integer, else a number rounded, else absent (never a failure).
std::optional<qint64> lenientInteger(const QJsonObject& object, const QString& key) {
    const QJsonValue value = object.value(key);
    if (!value.isDouble())
        return std::nullopt;
    return roundedInteger(value);
}

// values: a list of numbers, each rounded; anything else is the empty list (never a failure).
// A number too large for 64 bits is left out.
QList<qint64> lenientIntegers(const QJsonObject& object, const QString& key) {
    const QJsonValue value = object.value(key);
    if (!value.isArray())
        return {};
    QList<qint64> integers;
    for (const QJsonValue element : value.toArray()) {
        if (!element.isDouble())
            return {};
        if (const auto integer = roundedInteger(element))
            integers.append(*integer);
    }
    return integers;
}

// The member `key` read as T, absent when it is missing, null or cannot be read.
template <class T>
std::optional<T> lenientMember(const QJsonObject& object, const QString& key,
                               const DecodeContext& context) {
    try {
        return decodeMember<T>(object, key, context);
    } catch (const DecodeError&) {
        return std::nullopt;
    }
}

template <class T> QList<T> decodeList(const QJsonValue& value, const DecodeContext& context) {
    if (!value.isArray())
        failType(QStringLiteral("an array"), value, context);
    const QJsonArray array = value.toArray();
    QList<T> list;
    list.reserve(array.size());
    for (qsizetype index = 0; index < array.size(); ++index)
        list.append(decodeJson<T>(array.at(index), context.at(index)));
    return list;
}

template <class T>
QMap<QString, T> decodeMap(const QJsonValue& value, const DecodeContext& context) {
    const QJsonObject object = decodeJson<QJsonObject>(value, context);
    QMap<QString, T> map;
    for (auto entry = object.begin(); entry != object.end(); ++entry)
        map.insert(entry.key(), decodeJson<T>(entry.value(), context.at(entry.key())));
    return map;
}

} // namespace

DecodeContext DecodeContext::at(const QString& key) const {
    return {now, path.isEmpty() ? key : path + u'.' + key};
}

DecodeContext DecodeContext::at(qsizetype index) const {
    return {now, path + u'[' + QString::number(index) + u']'};
}

void DecodeContext::fail(const QString& problem) const {
    throw DecodeError(
        (path.isEmpty() ? problem : path + QStringLiteral(": ") + problem).toStdString());
}

template <> QJsonObject decodeJson<QJsonObject>(const QJsonValue& value, const DecodeContext& c) {
    if (!value.isObject())
        failType(QStringLiteral("an object"), value, c);
    return value.toObject();
}

template <> QString decodeJson<QString>(const QJsonValue& value, const DecodeContext& c) {
    if (!value.isString())
        failType(QStringLiteral("a string"), value, c);
    return value.toString();
}

template <> bool decodeJson<bool>(const QJsonValue& value, const DecodeContext& c) {
    if (!value.isBool())
        failType(QStringLiteral("a boolean"), value, c);
    return value.toBool();
}

template <> qint64 decodeJson<qint64>(const QJsonValue& value, const DecodeContext& c) {
    if (!value.isDouble())
        failType(QStringLiteral("an integer"), value, c);
    const auto integer = exactInteger(value);
    if (!integer)
        c.fail(QStringLiteral("expected an integer, found a number that is not a 64-bit integer"));
    return *integer;
}

template <> double decodeJson<double>(const QJsonValue& value, const DecodeContext& c) {
    if (!value.isDouble())
        failType(QStringLiteral("a number"), value, c);
    return value.toDouble();
}

template <> QDateTime decodeJson<QDateTime>(const QJsonValue& value, const DecodeContext& c) {
    return decodeServiceDate(value, c);
}

template <> QStringList decodeJson<QStringList>(const QJsonValue& value, const DecodeContext& c) {
    return decodeList<QString>(value, c);
}

template <>
QMap<QString, ModeCapabilities::TemperatureRange>
decodeJson<QMap<QString, ModeCapabilities::TemperatureRange>>(const QJsonValue& value,
                                                              const DecodeContext& c) {
    return decodeMap<ModeCapabilities::TemperatureRange>(value, c);
}

template <>
QMap<QString, ModeCapabilities>
decodeJson<QMap<QString, ModeCapabilities>>(const QJsonValue& value, const DecodeContext& c) {
    return decodeMap<ModeCapabilities>(value, c);
}

template <>
QList<History::Point> decodeJson<QList<History::Point>>(const QJsonValue& value,
                                                        const DecodeContext& c) {
    return decodeList<History::Point>(value, c);
}

template <> TimeStamp decodeJson<TimeStamp>(const QJsonValue& value, const DecodeContext& c) {
    const QJsonObject o = decodeJson<QJsonObject>(value, c);
    return {decodeMember<QString>(o, "time", c), decodeMember<qint64>(o, "secondsAgo", c)};
}

template <> ACState decodeJson<ACState>(const QJsonValue& value, const DecodeContext& c) {
    const QJsonObject o = decodeJson<QJsonObject>(value, c);
    return {decodeMember<bool>(o, "on", c),
            decodeMember<QString>(o, "mode", c),
            lenientInteger(o, "targetTemperature"),
            decodeMember<QString>(o, "temperatureUnit", c),
            decodeMember<QString>(o, "fanLevel", c),
            decodeMember<QString>(o, "swing", c),
            decodeMember<QString>(o, "horizontalSwing", c),
            decodeMember<QString>(o, "light", c)};
}

template <> Measurements decodeJson<Measurements>(const QJsonValue& value, const DecodeContext& c) {
    const QJsonObject o = decodeJson<QJsonObject>(value, c);
    return {decodeMember<double>(o, "temperature", c), decodeMember<double>(o, "humidity", c),
            decodeMember<double>(o, "feelsLike", c),   decodeMember<double>(o, "co2", c),
            decodeMember<double>(o, "tvoc", c),        decodeMember<double>(o, "pm25", c),
            decodeMember<TimeStamp>(o, "time", c)};
}

template <>
ModeCapabilities::TemperatureRange
decodeJson<ModeCapabilities::TemperatureRange>(const QJsonValue& value, const DecodeContext& c) {
    const QJsonObject o = decodeJson<QJsonObject>(value, c);
    return {decodeMember<bool>(o, "isNative", c), lenientIntegers(o, "values")};
}

template <>
ModeCapabilities decodeJson<ModeCapabilities>(const QJsonValue& value, const DecodeContext& c) {
    const QJsonObject o = decodeJson<QJsonObject>(value, c);
    return {decodeMember<QMap<QString, ModeCapabilities::TemperatureRange>>(o, "temperatures", c),
            decodeMember<QStringList>(o, "fanLevels", c), decodeMember<QStringList>(o, "swing", c),
            decodeMember<QStringList>(o, "horizontalSwing", c),
            decodeMember<QStringList>(o, "light", c)};
}

template <>
RemoteCapabilities decodeJson<RemoteCapabilities>(const QJsonValue& value, const DecodeContext& c) {
    const QJsonObject o = decodeJson<QJsonObject>(value, c);
    return {decodeMember<QMap<QString, ModeCapabilities>>(o, "modes", c)};
}

template <> PodTimer decodeJson<PodTimer>(const QJsonValue& value, const DecodeContext& c) {
    const QJsonObject o = decodeJson<QJsonObject>(value, c);
    PodTimer timer{decodeMember<bool>(o, "isEnabled", c), decodeMember<ACState>(o, "acState", c),
                   decodeMember<qint64>(o, "targetTimeSecondsFromNow", c), std::nullopt};
    if (timer.targetTimeSecondsFromNow) {
        // addSecs gives an invalid time when the sum leaves the representable range.
        const QDateTime fireDate = c.now.addSecs(*timer.targetTimeSecondsFromNow);
        if (fireDate.isValid())
            timer.fireDate = fireDate;
    }
    return timer;
}

template <> ClimateReact decodeJson<ClimateReact>(const QJsonValue& value, const DecodeContext& c) {
    const QJsonObject o = decodeJson<QJsonObject>(value, c);
    return {decodeMember<bool>(o, "enabled", c),
            decodeMember<QString>(o, "type", c),
            decodeMember<double>(o, "lowTemperatureThreshold", c),
            decodeMember<double>(o, "highTemperatureThreshold", c),
            decodeMember<ACState>(o, "lowTemperatureState", c),
            decodeMember<ACState>(o, "highTemperatureState", c)};
}

template <>
FiltersCleaning decodeJson<FiltersCleaning>(const QJsonValue& value, const DecodeContext& c) {
    const QJsonObject o = decodeJson<QJsonObject>(value, c);
    return {decodeMember<bool>(o, "shouldCleanFilters", c),
            decodeMember<qint64>(o, "acOnSecondsSinceLastFiltersClean", c),
            decodeMember<TimeStamp>(o, "lastFiltersCleanTime", c)};
}

template <>
History::Point decodeJson<History::Point>(const QJsonValue& value, const DecodeContext& c) {
    const QJsonObject o = decodeJson<QJsonObject>(value, c);
    return {decodeRequiredMember<QDateTime>(o, "time", c),
            decodeRequiredMember<double>(o, "value", c)};
}

template <> History decodeJson<History>(const QJsonValue& value, const DecodeContext& c) {
    const QJsonObject o = decodeJson<QJsonObject>(value, c);
    return {
        decodeMember<QList<History::Point>>(o, "temperature", c).value_or(QList<History::Point>{}),
        decodeMember<QList<History::Point>>(o, "humidity", c).value_or(QList<History::Point>{})};
}

template <> Pod::Room decodeJson<Pod::Room>(const QJsonValue& value, const DecodeContext& c) {
    const QJsonObject o = decodeJson<QJsonObject>(value, c);
    return {decodeMember<QString>(o, "name", c), decodeMember<QString>(o, "icon", c)};
}

template <>
Pod::ConnectionStatus decodeJson<Pod::ConnectionStatus>(const QJsonValue& value,
                                                        const DecodeContext& c) {
    const QJsonObject o = decodeJson<QJsonObject>(value, c);
    return {decodeMember<bool>(o, "isAlive", c), decodeMember<TimeStamp>(o, "lastSeen", c)};
}

template <> Pod::IDOnly decodeJson<Pod::IDOnly>(const QJsonValue& value, const DecodeContext& c) {
    const QJsonObject o = decodeJson<QJsonObject>(value, c);
    return {decodeMember<QString>(o, "id", c)};
}

template <> Pod decodeJson<Pod>(const QJsonValue& value, const DecodeContext& c) {
    const QJsonObject o = decodeJson<QJsonObject>(value, c);
    return {decodeRequiredMember<QString>(o, "id", c),
            decodeMember<Pod::Room>(o, "room", c),
            decodeMember<ACState>(o, "acState", c),
            decodeMember<Measurements>(o, "measurements", c),
            decodeMember<Pod::ConnectionStatus>(o, "connectionStatus", c),
            decodeMember<RemoteCapabilities>(o, "remoteCapabilities", c),
            decodeMember<QString>(o, "productModel", c),
            decodeMember<PodTimer>(o, "timer", c),
            lenientMember<ClimateReact>(o, "smartMode", c),
            lenientMember<FiltersCleaning>(o, "filtersCleaning", c)};
}

template <> QList<Pod> decodeJson<QList<Pod>>(const QJsonValue& value, const DecodeContext& c) {
    return decodeList<Pod>(value, c);
}

template <>
QList<Pod::IDOnly> decodeJson<QList<Pod::IDOnly>>(const QJsonValue& value, const DecodeContext& c) {
    return decodeList<Pod::IDOnly>(value, c);
}

std::optional<QJsonValue> envelopeResult(const QByteArray& body) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        throw DecodeError(QStringLiteral("the answer isn't JSON: %1 at offset %2")
                              .arg(parseError.errorString())
                              .arg(parseError.offset)
                              .toStdString());
    if (!document.isObject())
        throw DecodeError("the answer isn't a JSON object");
    const QJsonValue result = document.object().value(QLatin1String("result"));
    if (result.isUndefined() || result.isNull())
        return std::nullopt;
    return result;
}
