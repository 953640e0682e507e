#include "support/loopback_service.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <sys/socket.h>

namespace {

// Reads one complete request off the front of `buffer`, or nothing while it is incomplete.
std::optional<LoopbackService::Request> takeRequest(QByteArray& buffer) {
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return std::nullopt;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    LoopbackService::Request request;
    for (const QByteArray& line : lines.sliced(1))
        if (const qsizetype colon = line.indexOf(':'); colon > 0)
            request.headers[line.left(colon).trimmed().toLower()] = line.mid(colon + 1).trimmed();
    const qsizetype length = request.headers.value("content-length", "0").toLongLong();
    if (buffer.size() < headEnd + 4 + length)
        return std::nullopt;
    request.body = buffer.mid(headEnd + 4, length);
    buffer.remove(0, headEnd + 4 + length);

    const QList<QByteArray> requestLine = lines[0].trimmed().split(' ');
    request.method = requestLine.value(0);
    const QByteArray target = requestLine.value(1);
    const qsizetype question = target.contains('?') ? target.indexOf('?') : target.size();
    request.rawPath = target.left(question);
    request.path = QUrl::fromPercentEncoding(request.rawPath);
    request.query =
        QUrlQuery(QString::fromLatin1(target.mid(question + 1))).queryItems(QUrl::FullyDecoded);
    return request;
}

QByteArray serialize(const LoopbackService::Response& response) {
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) +
                      " Status\r\nContent-Length: " + QByteArray::number(response.body.size()) +
                      "\r\n";
    for (const auto& [name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    return head + "\r\n" + response.body;
}

} // namespace

LoopbackService::Response LoopbackService::answer(const Request& request) {
    received.append(request);
    if (std::optional<Response> response = handler ? handler(request) : std::nullopt)
        return *response;
    if (const auto found = standing.constFind({request.method, request.path});
        found != standing.cend())
        return *found;
    // The service ends a filter reminder whether or not one is due.
    if (request.method == "DELETE" && request.path.endsWith(u"/cleanFiltersNotification"))
        return Response::json(R"({"status":"success"})");
    return {.status = 404,
            .body = "no scripted answer for " + request.method + ' ' + request.rawPath,
            .headers = {}};
}

// One client connection: requests are read and answered one after another (keep-alive).
class LoopbackService::Connection : public QObject {
public:
    Connection(QTcpSocket* socket, LoopbackService* service)
        : QObject(&service->server), socket(socket), service(service) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, &Connection::readMore);
        connect(socket, &QTcpSocket::disconnected, this, [this] {
            if (pending)
                this->service->abandoned.append(*std::exchange(pending, std::nullopt));
            deleteLater();
        });
    }
    // The service is going away: its connections close without reporting anything.
    ~Connection() override { socket->disconnect(this); }

private:
    void readMore() {
        buffer += socket->readAll();
        while (!pending) {
            pending = takeRequest(buffer);
            if (!pending)
                return;
            const Response response = service->answer(*pending);
            if (response.held) {
                service->held.append([self = QPointer(this), response] {
                    if (self)
                        self->reply(response);
                });
                return;
            }
            if (response.delay.count() > 0) {
                QTimer::singleShot(response.delay, this, [this, response] { reply(response); });
                return;
            }
            reply(response);
        }
    }

    void reply(const Response& response) {
        if (socket->state() != QAbstractSocket::ConnectedState)
            return;
        const QByteArray bytes = serialize(response);
        const bool closes = pending->headers.value("connection").toLower() == "close";
        pending.reset();
        if (response.resetConnection) {
            // Without lingering, closing sends a reset instead of an orderly end.
            const linger abrupt{1, 0};
            ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &abrupt,
                         sizeof abrupt);
            socket->abort();
            return;
        }
        if (response.closeMidAnswer) {
            socket->write(bytes.left(bytes.size() - qMax<qsizetype>(1, response.body.size() / 2)));
            socket->disconnectFromHost();
            return;
        }
        socket->write(bytes);
        if (closes)
            socket->disconnectFromHost();
        else
            QTimer::singleShot(0, this, &Connection::readMore);
    }

    QTcpSocket* socket;
    LoopbackService* service;
    QByteArray buffer;
    std::optional<Request> pending; // read, not yet answered
};

LoopbackService::LoopbackService(QObject* parent) : QObject(parent) {
    if (!server.listen(QHostAddress::LocalHost, 0))
        qFatal("LoopbackService: can't listen: %s", qPrintable(server.errorString()));
    connect(&server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server.nextPendingConnection())
            new Connection(socket, this);
    });
}

SensiboAPI::Config LoopbackService::config(std::chrono::milliseconds timeout) const {
    SensiboAPI::Config config = SensiboAPI::Config::forService(
        QUrl(QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort())));
    config.timeout = timeout;
    return config;
}

QList<LoopbackService::Request> LoopbackService::requests(const QByteArray& method,
                                                          const QString& path) const {
    QList<Request> matching;
    for (const Request& request : received)
        if (request.method == method && request.path == path)
            matching.append(request);
    return matching;
}

bool LoopbackService::waitForRequests(qsizetype count, std::chrono::milliseconds deadline) {
    return QTest::qWaitFor([&] { return received.size() >= count; },
                           static_cast<int>(deadline.count()));
}

void LoopbackService::release() {
    for (const std::function<void()>& send : std::exchange(held, {}))
        send();
}
