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

using Route = std::pair<QByteArray, QString>;

// Reads one complete request off the front of `buffer`, or nothing while it is incomplete.
std::optional<LoopbackService::Request> takeRequest(QByteArray& buffer) {
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return std::nullopt;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    LoopbackService::Request request;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        request.headers[name] =
            request.headers.contains(name) ? request.headers[name] + ", " + value : value;
    }
    const qsizetype length = request.headers.value("content-length", "0").toLongLong();
    if (buffer.size() < headEnd + 4 + length)
        return std::nullopt;
    request.body = buffer.mid(headEnd + 4, length);
    buffer.remove(0, headEnd + 4 + length);

    const QList<QByteArray> requestLine = lines[0].trimmed().split(' ');
    request.method = requestLine.value(0);
    const QByteArray target = requestLine.value(1);
    const qsizetype question = target.indexOf('?');
    request.rawPath = question < 0 ? target : target.left(question);
    request.path = QUrl::fromPercentEncoding(request.rawPath);
    if (question >= 0)
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

// One client connection: requests are read and answered one after another (keep-alive).
class Connection : public QObject {
public:
    using Answer = std::function<LoopbackService::Response(const LoopbackService::Request&)>;
    using Abandon = std::function<void(const LoopbackService::Request&)>;
    // Keeps a held answer's sending for later.
    using Hold = std::function<void(std::function<void()>)>;

    Connection(QTcpSocket* socket, Answer answer, Abandon abandon, Hold hold, QObject* parent)
        : QObject(parent), socket(socket), answer(std::move(answer)), abandon(std::move(abandon)),
          hold(std::move(hold)) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, &Connection::readMore);
        connect(socket, &QTcpSocket::disconnected, this, &Connection::closed);
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
            const LoopbackService::Response response = answer(*pending);
            if (response.held) {
                hold([self = QPointer(this), response] {
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

    void reply(const LoopbackService::Response& response) {
        if (socket->state() != QAbstractSocket::ConnectedState)
            return;
        const QByteArray bytes = serialize(response);
        const bool closes = pending->header("connection").toLower() == "close";
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

    void closed() {
        if (pending)
            abandon(*std::exchange(pending, std::nullopt));
        deleteLater();
    }

    QTcpSocket* socket;
    Answer answer;
    Abandon abandon;
    Hold hold;
    QByteArray buffer;
    std::optional<LoopbackService::Request> pending; // read, not yet answered
};

} // namespace

class LoopbackService::Server : public QTcpServer {
public:
    QMap<Route, Response> standing;
    QMap<Route, QList<Response>> queued;
    std::function<std::optional<Response>(const Request&)> handler;
    QList<Request> received;
    QList<Request> abandoned;
    QList<std::function<void()>> held;

    Response answer(const Request& request) {
        if (handler) {
            if (std::optional<Response> response = handler(request))
                return *response;
        }
        const Route route{request.method, request.path};
        if (QList<Response>& queue = queued[route]; !queue.isEmpty())
            return queue.takeFirst();
        if (const auto found = standing.constFind(route); found != standing.cend())
            return *found;
        Response missing;
        missing.status = 404;
        missing.body = "no scripted answer for " + request.method + ' ' + request.rawPath;
        return missing;
    }
};

std::optional<QString> LoopbackService::Request::queryValue(const QString& name) const {
    for (const auto& [key, value] : query) {
        if (key == name)
            return value;
    }
    return std::nullopt;
}

QByteArray LoopbackService::Request::header(const QByteArray& name) const {
    return headers.value(name.toLower());
}

LoopbackService::Response LoopbackService::Response::json(QByteArray body, int status) {
    Response response;
    response.status = status;
    response.body = std::move(body);
    response.headers.append(
        {QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/json")});
    return response;
}

LoopbackService::LoopbackService(QObject* parent)
    : QObject(parent), server(std::make_unique<Server>()) {
    if (!server->listen(QHostAddress::LocalHost, 0))
        qFatal("LoopbackService: can't listen: %s", qPrintable(server->errorString()));
    connect(server.get(), &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server->nextPendingConnection()) {
            const auto answer = [this](const Request& request) {
                server->received.append(request);
                Q_EMIT requestReceived(request);
                return server->answer(request);
            };
            const auto abandon = [this](const Request& request) {
                server->abandoned.append(request);
            };
            const auto hold = [this](std::function<void()> send) {
                server->held.append(std::move(send));
            };
            new Connection(socket, answer, abandon, hold, server.get());
        }
    });
}

LoopbackService::~LoopbackService() = default;

QUrl LoopbackService::url() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(server->serverPort()));
}

SensiboAPI::Config LoopbackService::config(std::chrono::milliseconds timeout) const {
    SensiboAPI::Config config = SensiboAPI::Config::forService(url());
    config.timeout = timeout;
    return config;
}

void LoopbackService::on(const QByteArray& method, const QString& path, Response response) {
    server->standing.insert({method, path}, std::move(response));
}

void LoopbackService::enqueue(const QByteArray& method, const QString& path, Response response) {
    server->queued[{method, path}].append(std::move(response));
}

void LoopbackService::setHandler(std::function<std::optional<Response>(const Request&)> handler) {
    server->handler = std::move(handler);
}

const QList<LoopbackService::Request>& LoopbackService::requests() const {
    return server->received;
}

QList<LoopbackService::Request> LoopbackService::requests(const QByteArray& method,
                                                          const QString& path) const {
    QList<Request> matching;
    for (const Request& request : server->received) {
        if (request.method == method && request.path == path)
            matching.append(request);
    }
    return matching;
}

bool LoopbackService::waitForRequests(qsizetype count, std::chrono::milliseconds deadline) {
    return QTest::qWaitFor([&] { return server->received.size() >= count; },
                           static_cast<int>(deadline.count()));
}

void LoopbackService::clearRequests() {
    server->received.clear();
    server->abandoned.clear();
}

void LoopbackService::release() {
    for (const std::function<void()>& send : std::exchange(server->held, {}))
        send();
}

const QList<LoopbackService::Request>& LoopbackService::abandonedRequests() const {
    return server->abandoned;
}
