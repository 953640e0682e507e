#include "client/sensibo_api.h"
#include "support/log_watch.h"
#include "support/loopback_service.h"
#include "support/outcome.h"

#include <QTest>

using Response = LoopbackService::Response;
using Query = QList<std::pair<QString, QString>>;
using Operation = std::function<QCoro::Task<>(const SensiboAPI&)>;
Q_DECLARE_METATYPE(Operation)

namespace {
struct Fixture {
    LoopbackService service;
    SensiboAPI api{QStringLiteral("key"), service.config()};
};

template <class T> QCoro::Task<> discard(QCoro::Task<T> task) {
    co_await std::move(task);
}

ACState coolAt22() {
    ACState state;
    state.on = true;
    state.mode = "cool";
    state.targetTemperature = 22;
    return state;
}
const ACState state = coolAt22();
} // namespace

class ServiceOperations : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachOperationsRequest_data() {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("path");
        QTest::addColumn<Query>("query");
        QTest::addColumn<QByteArray>("body");
        const QByteArray stateJson = R"({"on":true,"mode":"cool","targetTemperature":22})";
        const QString fields = "id,room,acState,measurements,connectionStatus,timer";
        QTest::newRow("light listing")
            << Operation([](auto& api) { return discard(api.pods(false)); }) << QByteArray("GET")
            << "/api/v2/users/me/pods" << Query{{"fields", fields}} << QByteArray();
        QTest::newRow("full listing")
            << Operation([](auto& api) { return discard(api.pods(true)); }) << QByteArray("GET")
            << "/api/v2/users/me/pods"
            << Query{{"fields", fields + ",remoteCapabilities,productModel"}} << QByteArray();
        QTest::newRow("setState") << Operation([](auto& api) {
            return discard(api.setState("p1", state));
        }) << QByteArray("POST") << "/api/v2/pods/p1/acStates"
                                  << Query() << R"({"acState":)" + stateJson + "}";
        QTest::newRow("setTimer") << Operation(
                                         [](auto& api) { return api.setTimer("p1", 30, state); })
                                  << QByteArray("PUT") << "/api/v1/pods/p1/timer/" << Query()
                                  << R"({"minutesFromNow":30,"acState":)" + stateJson + "}";
        QTest::newRow("cancelTimer")
            << Operation([](auto& api) { return api.cancelTimer("p1"); }) << QByteArray("DELETE")
            << "/api/v1/pods/p1/timer/" << Query() << QByteArray();
        QTest::newRow("history") << Operation([](auto& api) {
            return discard(api.history("p1", 1));
        }) << QByteArray("GET") << "/api/v2/pods/p1/historicalMeasurements"
                                 << Query{{"days", "1"}} << QByteArray();
        QTest::newRow("verify") << Operation([](auto& api) { return api.verify(); })
                                << QByteArray("GET") << "/api/v2/users/me/pods"
                                << Query{{"fields", "id"}} << QByteArray();
    }
    void eachOperationsRequest() {
        QFETCH(Operation, operation);
        QFETCH(QByteArray, method);
        QFETCH(QString, path);
        QFETCH(Query, query);
        QFETCH(QByteArray, body);
        Fixture fixture;
        // A listing must hold units; the other operations take an answer without a result.
        fixture.service.on(method, path,
                           Response::json(path.endsWith("pods") ? R"({"result":[]})" : "{}"));
        QVERIFY(outcomeOf(operation(fixture.api)).value);
        const LoopbackService::Request request = fixture.service.requests().value(0);
        query.append({QStringLiteral("apiKey"), QStringLiteral("key")});
        QCOMPARE(request.query, query);
        QCOMPARE(request.body, body);
        QCOMPARE(request.header("content-type"), body.isEmpty() ? "" : "application/json");
        QCOMPARE(request.header("accept"), "application/json");
    }

    void stateChangeAnswers_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<std::optional<ACState>>("taken");
        QTest::addColumn<QString>("failure");
        const std::optional<ACState> none;
        ACState heat;
        heat.mode = "heat";
        QTest::newRow("success")
            << QByteArray(R"({"result":{"status":"Success","acState":{"mode":"heat"}}})")
            << std::optional(heat) << QString();
        QTest::newRow("no result") << QByteArray(R"({"status":"success"})") << none << QString();
        QTest::newRow("failed with reason")
            << QByteArray(
                   R"({"result":{"status":"Failed","failureReason":"IR blocked","acState":{}}})")
            << none << "Sensibo said: IR blocked";
        QTest::newRow("FAILED") << QByteArray(R"({"result":{"status":"FAILED"}})") << none
                                << "Sensibo said: the AC didn't take the change";
    }
    void stateChangeAnswers() {
        QFETCH(QByteArray, answer);
        QFETCH(std::optional<ACState>, taken);
        QFETCH(QString, failure);
        Fixture fixture;
        fixture.service.on("POST", "/api/v2/pods/p1/acStates", Response::json(answer));
        const auto outcome = outcomeOf(fixture.api.setState("p1", state));
        if (failure.isEmpty()) {
            QVERIFY(outcome.value);
            QCOMPARE(*outcome.value, taken);
        } else {
            QCOMPARE(outcome.failure->kind(), SensiboAPI::Failure::Kind::http);
            QCOMPARE(outcome.failure->status(), 200);
            QCOMPARE(outcome.failure->errorDescription(), failure);
        }
    }

    // An answer without a result is an empty history.
    void historyDatesInEachServiceForm() {
        Fixture fixture;
        fixture.service.enqueue("GET", "/api/v2/pods/p1/historicalMeasurements",
                                Response::json("{}"));
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

    void emptyPayloadsIgnoreTheBody() {
        const QByteArray body = "<html>ok</html>";
        Fixture fixture;
        fixture.service.on("PUT", "/api/v1/pods/p1/timer/", Response::json(body));
        fixture.service.on("DELETE", "/api/v1/pods/p1/timer/", Response::json(body));
        const LogWatch watch;
        QVERIFY(outcomeOf(fixture.api.setTimer("p1", 5, state)).value);
        QVERIFY(outcomeOf(fixture.api.cancelTimer("p1")).value);
        QCOMPARE(watch.newLines(), QStringList());
    }
};

QTEST_GUILESS_MAIN(ServiceOperations)
#include "tst_service_operations.moc"
