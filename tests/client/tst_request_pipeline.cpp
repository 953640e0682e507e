#include "client/sensibo_api.h"
#include "client/transport_error.h"
#include "support/log_watch.h"
#include "support/loopback_service.h"
#include "support/outcome.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <netinet/in.h>
#include <sys/socket.h>

using namespace std::chrono_literals;
using Response = LoopbackService::Response;
using Kind = SensiboAPI::Failure::Kind;
using Operation = std::function<QCoro::Task<>(const SensiboAPI&)>;

namespace {
const QString key = QStringLiteral("k+y&=/%é");
const QString podsPath = QStringLiteral("/api/v2/users/me/pods");

// Fixes the receive buffer of this process's TCP socket on local `port` (the client's end of a
// loopback connection) at `size`, which keeps the kernel from growing it.
bool pinReceiveBuffer(quint16 port, int size) {
    for (int fd = 0; fd < 1024; ++fd) {
        sockaddr_in address{};
        socklen_t length = sizeof address;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
            address.sin_family == AF_INET && ntohs(address.sin_port) == port)
            return setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size) == 0;
    }
    return false;
}

struct Fixture {
    LoopbackService service;
    SensiboAPI api{QStringLiteral("key"), service.config()};
};

template <class T> QCoro::Task<> discard(QCoro::Task<T> task) {
    co_await std::move(task);
}

const ACState state{true, "cool", 22, {}, {}, {}, {}, {}};
} // namespace

class RequestPipeline : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void answersAreNeitherCachedNorCookiesKept() {
        LoopbackService service;
        Response answer = Response::json(R"({"result":[]})");
        answer.headers += {{"Set-Cookie", "session=abc; Max-Age=3600"},
                           {"Cache-Control", "max-age=3600"},
                           {"ETag", "\"v1\""}};
        service.on("GET", podsPath, answer);
        const SensiboAPI api(key, service.config());
        QVERIFY(outcomeOf(api.pods(false)).value && outcomeOf(api.pods(false)).value);
        QCOMPARE(service.requests().size(), 2);
        QVERIFY(!service.requests()[1].headers.contains("cookie") &&
                !service.requests()[1].headers.contains("if-none-match"));
    }

    // Dots would be resolved by the server whatever the encoding, an empty id collapsed: those
    // are refused without a request.
    void unitIdTravelsAsOneSegment() {
        for (const auto& [id, rawPath] : std::initializer_list<std::pair<QString, QByteArray>>{
                 {"a/../b", "/api/v2/pods/a%2F..%2Fb/acStates"},
                 {"x?apiKey=1#y", "/api/v2/pods/x%3FapiKey%3D1%23y/acStates"},
                 {"50%2F", "/api/v2/pods/50%252F/acStates"},
                 {"", ""},
                 {".", ""},
                 {"..", ""}}) {
            LoopbackService service;
            service.setHandler([](const auto&) { return Response::json(R"({"result":{}})"); });
            const auto outcome = outcomeOf(SensiboAPI(key, service.config()).setState(id, {}));
            if (rawPath.isEmpty()) {
                QCOMPARE(std::pair(outcome.failure, service.requests().size()),
                         std::pair(std::optional(SensiboAPI::Failure::unreadable()), qsizetype(0)));
                continue;
            }
            const LoopbackService::Request request = service.requests().value(0);
            QVERIFY(outcome.value);
            QCOMPARE(std::tuple(request.rawPath, request.path, request.query.size()),
                     std::tuple(rawPath, "/api/v2/pods/" + id + "/acStates", qsizetype(1)));
        }
    }

    // How each failed answer is told, and the one line the log holds of it (none for a refused
    // key).
    void failedAnswers() {
        const QByteArray both = R"({"reason":"Too fast","message":"Slow down"})";
        const QString unreadable = SensiboAPI::Failure::unreadable().errorDescription();
        const QString http = QStringLiteral("Sensibo returned an error (HTTP %1).");
        const struct {
            int status;
            QByteArray body;
            QString description, log;
        } rows[] = {
            {401, both, "Sensibo didn't accept the API key.", ""},
            {429, both, "Sensibo said: Too fast", "GET pods: HTTP 429 " + both}, // the reason first
            {404, R"({"reason":null,"message":"No pod"})", "Sensibo said: No pod",
             R"(GET pods: HTTP 404 {"reason":null,"message":"No pod"})"},
            {502, R"({"reason":7,"message":"m"})", http.arg(502),
             R"(GET pods: HTTP 502 {"reason":7,"message":"m"})"},
            // The log keeps 300 bytes of the answer, an incomplete character replaced.
            {500, QByteArray(299, 'a') + "é and more", http.arg(500),
             "GET pods: HTTP 500 " + QString(299, 'a') + QChar(0xFFFD)},
            {200, R"({"result":[{"id":"a"},{"room":{}}]})", unreadable,
             "couldn't decode GET pods: result[1].id: missing"},
            {200, "[]", unreadable, "couldn't decode GET pods: the answer isn't a JSON object"}};
        for (const auto& row : rows) {
            LoopbackService service;
            service.on("GET", podsPath, Response::json(row.body, row.status));
            const LogWatch watch;
            const auto outcome = outcomeOf(SensiboAPI(key, service.config()).pods(true));
            QCOMPARE(outcome.failure->errorDescription(), row.description);
            QCOMPARE(outcome.failure->kind(), row.status == 200   ? Kind::unreadable
                                              : row.status == 401 ? Kind::badKey
                                                                  : Kind::http);
            QCOMPARE(watch.newLines(), row.log.isEmpty() ? QStringList() : QStringList{row.log});
        }
    }

    // Cut-off answers and timeouts are in tst_polling's faultsAreToldAndLoseNothing.
    // Refused, and TLS against a server that answers plain HTTP.
    void transportFailures() {
        for (const bool listening : {false, true}) {
            const QString scheme = listening ? "https" : "http";
            QTcpServer plain;
            QVERIFY(plain.listen(QHostAddress::LocalHost));
            connect(&plain, &QTcpServer::newConnection, &plain, [&plain] {
                plain.nextPendingConnection()->write("HTTP/1.1 400 Bad Request\r\n\r\n");
            });
            const QUrl url(scheme + QStringLiteral("://127.0.0.1:%1").arg(plain.serverPort()));
            if (!listening)
                plain.close();
            const LogWatch watch;
            const auto outcome =
                outcomeOf(SensiboAPI(key, SensiboAPI::Config::forService(url)).pods(false));
            QCOMPARE(outcome.failure,
                     SensiboAPI::Failure::network(listening ? "Can't reach Sensibo (6)."
                                                            : "Can't reach Sensibo."));
            QCOMPARE(watch.newLines(), QStringList());
        }
        // What a failed transport is called follows the system's view of the network.
        using Error = QNetworkReply::NetworkError;
        // The network down, where the first thing to fail is the name lookup; up, with the
        // connection dropped or no answer; and without the system's view, where the code alone
        // decides.
        QCOMPARE(
            QStringList({transportErrorText(Error::HostNotFoundError, NetworkReach::offline),
                         transportErrorText(Error::RemoteHostClosedError, NetworkReach::online),
                         transportErrorText(Error::TimeoutError, NetworkReach::online),
                         transportErrorText(Error::RemoteHostClosedError, NetworkReach::unknown)}),
            QStringList({"This computer is offline.", "Can't reach Sensibo.",
                         "Sensibo didn't answer in time.", "This computer is offline."}));
    }

    // A raw server streams the answer, declared or not, up to far past the client's bound and
    // then goes quiet; without the bound the client would only give up at its timeout.
    void oversizedAnswersAreRefusedEarly() {
        // However late the client's main thread checks (this thread also feeds the server), its
        // network thread reads at most a little past the bound. The kernel's buffers on both
        // ends are kept small, so that what the server has sent tells how much the client read.
        static constexpr qint64 chunk = 64LL * 1024, streamed = 1024 * chunk;
        constexpr qint64 bound = 5 * 1024 * 1024;
        for (const QByteArray lengthHeader :
             {"Content-Length: 104857600\r\n", "Connection: close\r\n"}) {
            QTcpServer server;
            QVERIFY(server.listen(QHostAddress::LocalHost));
            qint64 sent = 0;
            connect(&server, &QTcpServer::newConnection, &server, [&] {
                QTcpSocket* socket = server.nextPendingConnection();
                socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, chunk);
                QVERIFY(pinReceiveBuffer(socket->peerPort(), chunk));
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n" +
                              lengthHeader + "\r\n{\"result\":\"");
                const auto feed = [socket, &sent] {
                    while (socket->bytesToWrite() < chunk && sent < streamed) {
                        socket->write(QByteArray(chunk, 'x'));
                        sent += chunk;
                    }
                };
                connect(socket, &QTcpSocket::bytesWritten, socket, feed);
                feed();
            });
            SensiboAPI::Config config = SensiboAPI::Config::forService(
                QUrl(QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort())));
            config.timeout = 2s;
            const LogWatch watch;
            const auto outcome = outcomeOf(SensiboAPI(key, config).pods(false));
            QCOMPARE(outcome.failure, SensiboAPI::Failure::unreadable());
            QCOMPARE(watch.newLines(),
                     QStringList{"GET pods: answer larger than 4194304 bytes, refused"});
            QVERIFY2(sent <= bound, qPrintable(QStringLiteral("%1 > %2").arg(sent).arg(bound)));
        }
    }

    void cancellingAbortsTheRequest() {
        LoopbackService service;
        Response slow = Response::json(R"({"result":[]})");
        slow.delay = 10s;
        service.on("GET", podsPath, slow);
        const CancelToken token;
        QTimer::singleShot(0, &service, [&] {
            QVERIFY(service.waitForRequests(1));
            token.cancel();
        });
        const auto outcome = outcomeOf(SensiboAPI(key, service.config()).pods(false, token));
        QVERIFY(outcome.cancelled && !outcome.failure);
        QTRY_COMPARE(service.abandonedRequests().size(), 1);

        QVERIFY(outcomeOf(SensiboAPI(key, service.config()).pods(false, token)).cancelled);
        QCOMPARE(service.requests().size(), 1);
    }

    // Each request as "METHOD path?query body content-type", blanks left out; every one asks for
    // JSON. Cancelling a timer and checking a key are routed by the model tests' service, the
    // key check's query read by tst_sign_in.
    void eachOperationsRequest() {
        const LogWatch watch;
        const auto sent = [](const Operation& operation) {
            Fixture fixture;
            // A listing must hold units; the other operations take an answer without a result,
            // and those without a payload any body at all.
            fixture.service.setHandler([](const LoopbackService::Request& request) {
                return Response::json(request.path.endsWith("pods")     ? R"({"result":[]})"
                                      : request.path.endsWith("timer/") ? "<html>ok</html>"
                                                                        : "{}");
            });
            if (!outcomeOf(operation(fixture.api)).value)
                return QString("failed");
            const LoopbackService::Request request = fixture.service.requests().value(0);
            if (request.headers.value("accept") != "application/json")
                return QString("accepts " + request.headers.value("accept"));
            QStringList query;
            for (const auto& [name, value] : request.query)
                query.append(name + '=' + value);
            return QString(request.method + ' ' + request.path + '?' + query.join('&') + ' ' +
                           request.body + ' ' + request.headers.value("content-type"))
                .simplified();
        };
        const QString listing =
            "GET /api/v2/users/me/pods?fields=id,room,acState,measurements,connectionStatus,timer,"
            "smartMode";
        const QString stateJson = R"({"on":true,"mode":"cool","targetTemperature":22})";
        QCOMPARE(sent([](auto& api) { return discard(api.pods(false)); }), listing + "&apiKey=key");
        QCOMPARE(sent([](auto& api) { return discard(api.pods(true)); }),
                 listing + ",remoteCapabilities,productModel,filtersCleaning&apiKey=key");
        QCOMPARE(sent([](auto& api) { return discard(api.setState("p1", state)); }),
                 R"(POST /api/v2/pods/p1/acStates?apiKey=key {"acState":)" + stateJson +
                     "} application/json");
        QCOMPARE(sent([](auto& api) { return api.setTimer("p1", 30, state); }),
                 R"(PUT /api/v1/pods/p1/timer/?apiKey=key {"minutesFromNow":30,"acState":)" +
                     stateJson + "} application/json");
        QCOMPARE(sent([](auto& api) { return api.setClimateReact("p1", false); }),
                 R"(PUT /api/v2/pods/p1/smartmode?apiKey=key {"enabled":false} application/json)");
        QCOMPARE(sent([](auto& api) { return api.filterCleaned("p1"); }),
                 "DELETE /api/v2/pods/p1/cleanFiltersNotification?apiKey=key");
        QCOMPARE(sent([](auto& api) { return discard(api.history("p1", 1)); }),
                 "GET /api/v2/pods/p1/historicalMeasurements?days=1&apiKey=key");
        QCOMPARE(watch.newLines(), QStringList());
    }

    void operationAnswers() {
        const auto answer = [](const QByteArray& body) {
            Fixture fixture;
            fixture.service.on("POST", "/api/v2/pods/p1/acStates", Response::json(body));
            return outcomeOf(fixture.api.setState("p1", state));
        };
        using Taken = std::optional<std::optional<ACState>>;
        const ACState heat{{}, "heat", {}, {}, {}, {}, {}, {}};
        QCOMPARE(answer(R"({"result":{"status":"Success","acState":{"mode":"heat"}}})").value,
                 Taken(heat));
        QCOMPARE(answer(R"({"status":"success"})").value, Taken(std::in_place));
        QCOMPARE(
            answer(R"({"result":{"status":"Failed","failureReason":"IR blocked","acState":{}}})")
                .failure,
            SensiboAPI::Failure::http(200, "IR blocked"));
        QCOMPARE(answer(R"({"result":{"status":"FAILED"}})").failure,
                 SensiboAPI::Failure::http(200, "the AC didn't take the change"));

        // A history answer without a result is an empty history; dates come in each form.
        Fixture fixture;
        fixture.service.on("GET", "/api/v2/pods/p1/historicalMeasurements", Response::json("{}"));
        QCOMPARE(outcomeOf(fixture.api.history("p1", 1)).value, History());
        fixture.service.on("GET", "/api/v2/pods/p1/historicalMeasurements",
                           Response::json(R"({"result":{"temperature":[
                               {"time":"2024-05-01T08:00:00.250Z","value":21.5},
                               {"time":"2024-05-01T10:00:00+02:00","value":22},
                               {"time":"2024-05-01T08:00:00","value":23}]}})"));
        const History history = outcomeOf(fixture.api.history("p1", 1)).value.value_or(History());
        const QDateTime eight(QDate(2024, 5, 1), QTime(8, 0), Qt::UTC);
        QCOMPARE(history.temperature,
                 (QList<History::Point>{{eight.addMSecs(250), 21.5}, {eight, 22}, {eight, 23}}));
        QVERIFY(history.humidity.isEmpty());
    }
};

QTEST_GUILESS_MAIN(RequestPipeline)
#include "tst_request_pipeline.moc"
