#include "client/sensibo_api.h"
#include "support/log_watch.h"
#include "support/loopback_service.h"
#include "support/outcome.h"

#include <QTest>

using Response = LoopbackService::Response;
using Operation = std::function<QCoro::Task<>(const SensiboAPI&)>;

namespace {
struct Fixture {
    LoopbackService service;
    SensiboAPI api{QStringLiteral("key"), service.config()};
};

template <class T> QCoro::Task<> discard(QCoro::Task<T> task) {
    co_await std::move(task);
}

const ACState state{true, "cool", 22, {}, {}, {}, {}, {}};
} // namespace

class ServiceOperations : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each request as "METHOD path?query body content-type accepts accept", blanks left out.
    // Cancelling a timer and checking a key are routed by the model tests' service, the key
    // check's query read by tst_sign_in.
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
            QStringList query;
            for (const auto& [name, value] : request.query)
                query.append(name + '=' + value);
            return QString(request.method + ' ' + request.path + '?' + query.join('&') + ' ' +
                           request.body + ' ' + request.headers.value("content-type") +
                           " accepts " + request.headers.value("accept"))
                .simplified();
        };
        const QString fields =
            "fields=id,room,acState,measurements,connectionStatus,timer,smartMode";
        const QString stateJson = R"({"on":true,"mode":"cool","targetTemperature":22})";
        QCOMPARE(sent([](auto& api) { return discard(api.pods(false)); }),
                 "GET /api/v2/users/me/pods?" + fields + "&apiKey=key accepts application/json");
        QCOMPARE(sent([](auto& api) { return discard(api.pods(true)); }),
                 "GET /api/v2/users/me/pods?" + fields +
                     ",remoteCapabilities,productModel,filtersCleaning&apiKey=key accepts "
                     "application/json");
        QCOMPARE(sent([](auto& api) { return discard(api.setState("p1", state)); }),
                 R"(POST /api/v2/pods/p1/acStates?apiKey=key {"acState":)" + stateJson +
                     "} application/json accepts application/json");
        QCOMPARE(sent([](auto& api) { return api.setTimer("p1", 30, state); }),
                 R"(PUT /api/v1/pods/p1/timer/?apiKey=key {"minutesFromNow":30,"acState":)" +
                     stateJson + "} application/json accepts application/json");
        QCOMPARE(sent([](auto& api) { return api.setClimateReact("p1", false); }),
                 R"(PUT /api/v2/pods/p1/smartmode?apiKey=key {"enabled":false} )"
                 "application/json accepts application/json");
        QCOMPARE(sent([](auto& api) { return api.filterCleaned("p1"); }),
                 "DELETE /api/v2/pods/p1/cleanFiltersNotification?apiKey=key accepts "
                 "application/json");
        QCOMPARE(sent([](auto& api) { return discard(api.history("p1", 1)); }),
                 "GET /api/v2/pods/p1/historicalMeasurements?days=1&apiKey=key accepts "
                 "application/json");
        QCOMPARE(watch.newLines(), QStringList());
    }

    void stateChangeAnswers() {
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
    }

    // An answer without a result is an empty history.
    void historyDatesInEachServiceForm() {
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

QTEST_GUILESS_MAIN(ServiceOperations)
#include "tst_service_operations.moc"
