#pragma once

#include "client/cancel_token.h"
#include "client/json_codec.h"
#include "client/sensibo_api.h"

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>
#include <utility>

class QNetworkAccessManager;

// The one HTTP client of the process, on the main thread; every reply it has made is its child
// until the request's answer has been handled.
QNetworkAccessManager& networkAccess();

// One call of the service: everything the generic request routine needs, held by value so that
// a call in flight depends on nothing its caller might replace meanwhile.
struct ServiceCall {
    QByteArray method;
    QUrl base;
    // Path below the base, one entry per segment; each is sent as exactly one segment, so a
    // unit id can never reach another resource. A last empty entry gives a trailing slash.
    QStringList path;
    QList<std::pair<QString, QString>> query; // sent in this order, then apiKey
    std::optional<QByteArray> body;           // JSON; also sets "Content-Type"
    SensiboAPI api;                           // key and configuration

    // The last non-empty path segment, which names the call in log lines.
    QString name() const;
};

// Whether the answer of a successful call is read at all.
enum class Payload { none, envelope };

// The full URL of `call`, the API key as the last query parameter.
QUrl serviceUrl(const ServiceCall& call);

// Sends `call` and waits for its answer. Returns the body of a 2xx answer (empty when `payload`
// is none); throws SensiboAPI::Failure, or Cancelled once `cancel` fires.
QCoro::Task<QByteArray> send(ServiceCall call, CancelToken cancel, Payload payload);

// Logs that the answer to `call` could not be read and why.
void logUndecodable(const ServiceCall& call, const DecodeError& error);

template <class T> using PayloadReader = T (*)(const QJsonValue&, const DecodeContext&);

// Decodes the payload of a 2xx body with `read`, the path starting at "result"; absent when the
// envelope has no result. An undecodable answer is logged and throws unreadable.
template <class T>
std::optional<T> decodePayload(const QByteArray& body, const ServiceCall& call,
                               PayloadReader<T> read = &decodeJson<T>) {
    try {
        const std::optional<QJsonValue> result = envelopeResult(body);
        if (!result)
            return std::nullopt;
        return read(*result, DecodeContext{call.api.config().now(), QStringLiteral("result")});
    } catch (const DecodeError& error) {
        logUndecodable(call, error);
        throw SensiboAPI::Failure::unreadable();
    }
}

// Sends `call` and decodes the payload of its answer.
template <class T>
QCoro::Task<std::optional<T>> fetch(ServiceCall call, CancelToken cancel,
                                    PayloadReader<T> read = &decodeJson<T>) {
    const QByteArray body = co_await send(call, cancel, Payload::envelope);
    co_return decodePayload<T>(body, call, read);
}
