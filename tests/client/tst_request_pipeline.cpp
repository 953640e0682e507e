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
        QVERIFY(outcomeOf(api.pods(false)).value);
        QVERIFY(outcomeOf(api.pods(false)).value);
        QCOMPARE(service.requests().size(), 2);
        QVERIFY(!service.requests()[1].headers.contains("cookie"));
        QVERIFY(!service.requests()[1].headers.contains("if-none-match"));
    }

    // Dots would be resolved by the server whatever the encoding, an empty id collapsed: those
    // are refused without a request (no raw path).
    void unitIdTravelsAsOneSegment_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QByteArray>("rawPath");
        QTest::newRow("slash") << "a/../b" << QByteArray("/api/v2/pods/a%2F..%2Fb/acStates");
        QTest::newRow("query and fragment")
            << "x?apiKey=1#y" << QByteArray("/api/v2/pods/x%3FapiKey%3D1%23y/acStates");
        QTest::newRow("percent") << "50%2F" << QByteArray("/api/v2/pods/50%252F/acStates");
        for (const char* id : {"", ".", ".."})
            QTest::newRow(id) << id << QByteArray();
    }
    void unitIdTravelsAsOneSegment() {
        QFETCH(QString, id);
        QFETCH(QByteArray, rawPath);
        LoopbackService service;
        service.setHandler([](const auto&) { return Response::json(R"({"result":{}})"); });
        const auto outcome = outcomeOf(SensiboAPI(key, service.config()).setState(id, {}));
        if (rawPath.isEmpty()) {
            QCOMPARE(outcome.failure, SensiboAPI::Failure::unreadable());
            QVERIFY(service.requests().isEmpty());
            return;
        }
        QVERIFY(outcome.value);
        QCOMPARE(service.requests().value(0).rawPath, rawPath);
        QCOMPARE(service.requests().value(0).path, "/api/v2/pods/" + id + "/acStates");
        QCOMPARE(service.requests().value(0).query.size(), 1);
    }

    // The log holds the one line `log` (its start for an answer that cannot be decoded), or
    // none when `log` is empty.
    void failedAnswers_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("log");
        const QByteArray both = R"({"reason":"Too fast","message":"Slow down"})";
        const QString unreadable = SensiboAPI::Failure::unreadable().errorDescription();
        const auto row = [](const char* name, int status, const QByteArray& body,
                            const QString& description, const QString& log) {
            QTest::newRow(name) << status << body << description << log;
        };
        row("401", 401, both, "Sensibo didn't accept the API key.", "");
        row("reason first", 429, both, "Sensibo said: Too fast", "GET pods: HTTP 429 " + both);
        row("message", 404, R"({"reason":null,"message":"No pod"})", "Sensibo said: No pod",
            R"(GET pods: HTTP 404 {"reason":null,"message":"No pod"})");
        row("mistyped envelope", 502, R"({"reason":7,"message":"m"})",
            "Sensibo returned an error (HTTP 502).",
            R"(GET pods: HTTP 502 {"reason":7,"message":"m"})");
        row("cut at 300 bytes", 500, QByteArray(299, 'a') + "é and more",
            "Sensibo returned an error (HTTP 500).",
            "GET pods: HTTP 500 " + QString(299, 'a') + QChar(0xFFFD));
        row("pod without id", 200, R"({"result":[{"id":"a"},{"room":{}}]})", unreadable,
            "couldn't decode GET pods: result[1].id");
        row("not an object", 200, "[]", unreadable, "couldn't decode GET pods: ");
    }
    void failedAnswers() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, description);
        QFETCH(QString, log);
        LoopbackService service;
        service.on("GET", podsPath, Response::json(body, status));
        const LogWatch watch;
        const auto outcome = outcomeOf(SensiboAPI(key, service.config()).pods(true));
        QCOMPARE(outcome.failure->errorDescription(), description);
        QCOMPARE(outcome.failure->kind(), status == 200   ? Kind::unreadable
                                          : status == 401 ? Kind::badKey
                                                          : Kind::http);
        const QStringList lines = watch.newLines();
        QCOMPARE(lines.size(), log.isEmpty() ? 0 : 1);
        if (status == 200) // a decoder's reason follows
            QVERIFY2(lines[0].startsWith(log), qPrintable(lines[0]));
        else if (!log.isEmpty())
            QCOMPARE(lines[0], log);
        QVERIFY(!lines.join('\n').contains(key));
    }

    // Cut-off answers and timeouts are in the model's fault matrix.
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

    void offlineTextFollowsTheSystemsView() {
        using Error = QNetworkReply::NetworkError;
        const QString offline = "This computer is offline.";
        // The network is down: the first thing to fail is the name lookup.
        QCOMPARE(transportErrorText(Error::HostNotFoundError, NetworkReach::offline), offline);
        // The network is up and the service dropped the connection.
        QCOMPARE(transportErrorText(Error::RemoteHostClosedError, NetworkReach::online),
                 "Can't reach Sensibo.");
        QCOMPARE(transportErrorText(Error::TimeoutError, NetworkReach::online),
                 "Sensibo didn't answer in time.");
        // Without the system's view, the code alone decides.
        QCOMPARE(transportErrorText(Error::RemoteHostClosedError, NetworkReach::unknown), offline);
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
        QVERIFY(outcome.cancelled);
        QVERIFY(!outcome.failure);
        QTRY_COMPARE(service.abandonedRequests().size(), 1);

        const auto again = outcomeOf(SensiboAPI(key, service.config()).pods(false, token));
        QVERIFY(again.cancelled);
        QCOMPARE(service.requests().size(), 1);
    }
};

QTEST_GUILESS_MAIN(RequestPipeline)
#include "tst_request_pipeline.moc"
