#pragma once

#include "client/sensibo_api.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <chrono>
#include <functional>
#include <optional>
#include <utility>

// A stand-in for the service on 127.0.0.1: a real HTTP/1.1 server that records every request
// and answers from a script. Requests without a scripted answer get 404, except that ending a
// filter reminder succeeds.
class LoopbackService : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QString path;                             // decoded, e.g. "/api/v2/users/me/pods"
        QByteArray rawPath;                       // as sent, percent-encoding kept
        QList<std::pair<QString, QString>> query; // decoded, in the order sent
        QMap<QByteArray, QByteArray> headers;     // names lower-cased
        QByteArray body;

        std::optional<QString> queryValue(const QString& name) const {
            for (const auto& [key, value] : query)
                if (key == name)
                    return value;
            return std::nullopt;
        }
    };

    struct Response {
        int status = 200;
        QByteArray body;
        QList<std::pair<QByteArray, QByteArray>> headers;
        std::chrono::milliseconds delay{0}; // wait this long before answering
        bool closeMidAnswer = false;        // send part of the answer, then drop the connection
        bool held = false;                  // answer only once release() is called
        bool resetConnection = false;       // answer nothing, reset the connection

        static Response json(QByteArray body, int status = 200) {
            return {.status = status,
                    .body = std::move(body),
                    .headers = {{"Content-Type", "application/json"}}};
        }
    };

    explicit LoopbackService(QObject* parent = nullptr); // listens on a free port

    // A client configuration for this service; `timeout` is the client's wait for data.
    SensiboAPI::Config config(std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

    // Every request for `method` and `path` (the full decoded path) gets `response`.
    void on(const QByteArray& method, const QString& path, const Response& response) {
        standing.insert({method, path}, response);
    }
    // Answers computed per request; consulted before the scripted answers when set.
    void setHandler(std::function<std::optional<Response>(const Request&)> answerer) {
        handler = std::move(answerer);
    }

    const QList<Request>& requests() const { return received; }
    QList<Request> requests(const QByteArray& method, const QString& path) const;
    // Runs the event loop until at least `count` requests have arrived in total, or the
    // deadline passes; returns whether they arrived.
    bool waitForRequests(qsizetype count,
                         std::chrono::milliseconds deadline = std::chrono::seconds(5));
    void clearRequests() { received.clear(), abandoned.clear(); } // keeps a long run's memory flat
    // Sends every held answer.
    void release();
    // Requests whose connection the client closed before their answer went out (a cancelled
    // request, or one given up after the client's timeout).
    const QList<Request>& abandonedRequests() const { return abandoned; }

private:
    class Connection;
    Response answer(const Request& request);

    QTcpServer server;
    QMap<std::pair<QByteArray, QString>, Response> standing; // by method and path
    std::function<std::optional<Response>(const Request&)> handler;
    QList<Request> received, abandoned;
    QList<std::function<void()>> held;
};
