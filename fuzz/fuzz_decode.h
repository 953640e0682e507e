#pragma once

#include "client/json_codec.h"

#include <QByteArray>
#include <QDateTime>
#include <cstdint>
#include <cstdlib>
#include <optional>

// Helpers shared by the fuzz targets. A decoder may refuse any input with DecodeError; anything
// else (a crash, a sanitizer report, another exception, a broken invariant) is a fault.

inline QByteArray fuzzInput(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A fixed moment, so that a failing input gives the same result every time it is run.
inline DecodeContext fuzzContext(const QString& path) {
    return {QDateTime(QDate(2026, 7, 1), QTime(12, 0), Qt::UTC), path};
}

// Decodes a whole answer of the service as the client does: the envelope, then its "result".
template <class T> std::optional<T> decodeAnswer(const QByteArray& body) {
    try {
        const std::optional<QJsonValue> result = envelopeResult(body);
        if (result)
            return decodeJson<T>(*result, fuzzContext(QStringLiteral("result")));
    } catch (const DecodeError&) {
    }
    return std::nullopt;
}

// Stops the run, which libFuzzer records as a crash with the input that caused it.
inline void require(bool invariant) {
    if (!invariant)
        std::abort();
}
