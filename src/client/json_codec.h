#pragma once

#include "client/records.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonValue>

#include <stdexcept>

// Strict, typed reading of the service's JSON into the records, and the encoding of ACState.
//
// A key that is missing or null leaves a member absent; a value of the wrong JSON type fails the
// whole record, and with it the whole answer. The lenient readers (targetTemperature, values)
// are the documented exceptions.

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
    [[noreturn]] void fail(const QString& problem) const;
};

// Service date format: ISO 8601 with or without fraction, and without zone read as UTC.
// Throws DecodeError "Bad date <text>" otherwise.
QDateTime decodeServiceDate(const QJsonValue& value, const DecodeContext& context);

// decodeJson<T>(value, context) for T = Pod, QList<Pod>, Pod::IDOnly, QList<Pod::IDOnly>,
// ACState, PodTimer, History and the other records. Throws DecodeError.
template <class T> T decodeJson(const QJsonValue& value, const DecodeContext& context);

// Compact JSON of the state, keys in member order, absent members left out ({} when all are).
QByteArray encodeJson(const ACState& state);
