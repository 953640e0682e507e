#pragma once

#include "client/records.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>
#include <stdexcept>
#include <utility>

// Strict, typed reading of the service's JSON into the records, and the encoding of ACState.
//
// A key that is missing or null leaves a member absent; a value of the wrong JSON type fails the
// whole record, and with it the whole answer. The lenient readers (targetTemperature, values)
// are the documented exceptions, and so are the records of the extras a unit may have set up
// (Climate React, the filter count): one that cannot be read is left absent, since a fault in
// an extra must not hide the unit.

// Why a value could not be read, naming where it sits, e.g. "result[1].acState.mode: expected a
// string, found a number".
class DecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What decoding needs besides the JSON: the moment of decoding (timers' fire dates are computed
// from it) and the path to the value being read (for error descriptions).
struct DecodeContext {
    QDateTime now;
    QString path;
    DecodeContext at(const QString& key) const;
    DecodeContext at(qsizetype index) const;
    // Throws DecodeError "<path>: <problem>" (just the problem when the path is empty).
    [[noreturn]] void fail(const QString& problem) const;
};

// Service date format: ISO 8601 with or without fraction, and without zone read as UTC.
// Throws DecodeError "Bad date <text>" otherwise. The result is in UTC.
QDateTime decodeServiceDate(const QJsonValue& value, const DecodeContext& context);

// decodeJson<T>(value, context) reads one value of type T. Throws DecodeError.
template <class T> T decodeJson(const QJsonValue& value, const DecodeContext& context);

// Plain values. Integers are integral numbers within 64 bits (22.0 is one, 22.5 is not); a time
// point is a text in the service date format.
template <> QJsonObject decodeJson<QJsonObject>(const QJsonValue&, const DecodeContext&);
template <> QString decodeJson<QString>(const QJsonValue&, const DecodeContext&);
template <> bool decodeJson<bool>(const QJsonValue&, const DecodeContext&);
template <> qint64 decodeJson<qint64>(const QJsonValue&, const DecodeContext&);
template <> double decodeJson<double>(const QJsonValue&, const DecodeContext&);
template <> QDateTime decodeJson<QDateTime>(const QJsonValue&, const DecodeContext&);
template <> QStringList decodeJson<QStringList>(const QJsonValue&, const DecodeContext&);

// Records.
template <> TimeStamp decodeJson<TimeStamp>(const QJsonValue&, const DecodeContext&);
template <> ACState decodeJson<ACState>(const QJsonValue&, const DecodeContext&);
template <> Measurements decodeJson<Measurements>(const QJsonValue&, const DecodeContext&);
template <>
ModeCapabilities::TemperatureRange
decodeJson<ModeCapabilities::TemperatureRange>(const QJsonValue&, const DecodeContext&);
template <> ModeCapabilities decodeJson<ModeCapabilities>(const QJsonValue&, const DecodeContext&);
template <>
RemoteCapabilities decodeJson<RemoteCapabilities>(const QJsonValue&, const DecodeContext&);
template <>
QMap<QString, ModeCapabilities::TemperatureRange>
decodeJson<QMap<QString, ModeCapabilities::TemperatureRange>>(const QJsonValue&,
                                                              const DecodeContext&);
template <>
QMap<QString, ModeCapabilities> decodeJson<QMap<QString, ModeCapabilities>>(const QJsonValue&,
                                                                            const DecodeContext&);
template <> PodTimer decodeJson<PodTimer>(const QJsonValue&, const DecodeContext&);
template <> ClimateReact decodeJson<ClimateReact>(const QJsonValue&, const DecodeContext&);
template <> FiltersCleaning decodeJson<FiltersCleaning>(const QJsonValue&, const DecodeContext&);
template <> History::Point decodeJson<History::Point>(const QJsonValue&, const DecodeContext&);
template <>
QList<History::Point> decodeJson<QList<History::Point>>(const QJsonValue&, const DecodeContext&);
template <> History decodeJson<History>(const QJsonValue&, const DecodeContext&);
template <> Pod::Room decodeJson<Pod::Room>(const QJsonValue&, const DecodeContext&);
template <>
Pod::ConnectionStatus decodeJson<Pod::ConnectionStatus>(const QJsonValue&, const DecodeContext&);
template <> Pod::IDOnly decodeJson<Pod::IDOnly>(const QJsonValue&, const DecodeContext&);
template <> Pod decodeJson<Pod>(const QJsonValue&, const DecodeContext&);
template <> QList<Pod> decodeJson<QList<Pod>>(const QJsonValue&, const DecodeContext&);
template <>
QList<Pod::IDOnly> decodeJson<QList<Pod::IDOnly>>(const QJsonValue&, const DecodeContext&);

// The member `key` of `object`, read as T; absent when the key is missing or null.
template <class T>
std::optional<T> decodeMember(const QJsonObject& object, const QString& key,
                              const DecodeContext& context) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return std::nullopt;
    return decodeJson<T>(value, context.at(key));
}

// The member `key` of `object`, read as T; a missing key fails with "<path>.<key>: missing".
template <class T>
T decodeRequiredMember(const QJsonObject& object, const QString& key,
                       const DecodeContext& context) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        context.at(key).fail(QStringLiteral("missing"));
    return decodeJson<T>(value, context.at(key));
}

// The "result" of the envelope in a 2xx body, absent when missing or null. Throws DecodeError.
std::optional<QJsonValue> envelopeResult(const QByteArray& body);

// Compact JSON of the state, keys in member order, absent members left out ({} when all are).
QByteArray encodeJson(const ACState& state);

// A JSON string literal of `text`, quotes included.
QByteArray encodeJsonString(const QString& text);

// A compact JSON object whose members appear in the given order; each value is already JSON,
// e.g. encodeJsonObject({{"minutesFromNow", "30"}, {"acState", encodeJson(state)}}).
QByteArray encodeJsonObject(const QList<std::pair<QString, QByteArray>>& membersAsJson);
