#include "support/model_rig.h"
#include "support/outcome.h"

using namespace std::chrono_literals;
using Response = LoopbackService::Response;

namespace {
const QString historyPath = QStringLiteral("/api/v2/pods/a/historicalMeasurements");

Response dayOf(double temperature, std::chrono::milliseconds delay = 0ms) {
    const QJsonArray points{QJsonObject{{"time", "2024-05-01T09:00:00Z"}, {"value", temperature}}};
    Response response = Response::json(envelope(QJsonObject{{"temperature", points}}));
    response.delay = delay;
    return response;
}

double shownTemperature(const AppModel& model) {
    const History history = model.history().value("a");
    return history.temperature.isEmpty() ? -1 : history.temperature.first().value;
}

qsizetype asked(const ModelRig& rig) {
    return rig.service.requests("GET", historyPath).size();
}
} // namespace

class HistoryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadsTogetherMakeOneRequest() {
        ModelRig rig({unitJson("a", "Bedroom", true)});
        AppModel& model = rig.startPolling();
        rig.service.on("GET", historyPath, dayOf(21.5, 100ms));
        QCoro::Task<> first = model.loadHistory("a");
        outcomeOf(model.loadHistory("a")); // returns at once: the first is under way
        outcomeOf(std::move(first));
        QCOMPARE(shownTemperature(model), 21.5);
        QCOMPARE(asked(rig), 1);
    }

    void reloadsAfterTenMinutesOrAFailure() {
        ModelRig rig({unitJson("a", "Bedroom", true)});
        AppModel& model = rig.startPolling();
        rig.service.enqueue("GET", historyPath, dayOf(20));
        rig.service.enqueue("GET", historyPath, Response::json("{}", 500));
        rig.service.on("GET", historyPath, dayOf(23));
        outcomeOf(model.loadHistory("a"));
        rig.clock.advance(10min); // exactly 10 minutes: still fresh
        outcomeOf(model.loadHistory("a"));
        QCOMPARE(asked(rig), 1);
        rig.clock.advance(1s);
        outcomeOf(model.loadHistory("a"));       // fails
        QCOMPARE(shownTemperature(model), 20.0); // the old day stays on the chart
        outcomeOf(model.loadHistory("a"));       // at once, without waiting 10 minutes
        QCOMPARE(asked(rig), 3);
        QCOMPARE(shownTemperature(model), 23.0);
    }

    void newSessionLoadsAgain() {
        ModelRig rig({unitJson("a", "Bedroom", true)});
        AppModel& model = rig.startPolling();
        rig.service.enqueue("GET", historyPath, dayOf(20));
        Response lateFailure = Response::json("{}", 500);
        lateFailure.delay = 100ms;
        rig.service.enqueue("GET", historyPath, lateFailure);
        rig.service.on("GET", historyPath, dayOf(23));
        outcomeOf(model.loadHistory("a"));
        // A round trip through the demo empties the charts; the next chart asks again at once.
        model.loadDemo();
        model.exitDemo();
        QVERIFY(rig.waitForSleeps({60'000}));
        QCoro::Task<> failing = model.loadHistory("a");
        // Its failure arrives in the next session, which must not keep its stamp either.
        model.loadDemo();
        model.exitDemo();
        outcomeOf(std::move(failing));
        QVERIFY(rig.waitForSleeps({60'000}));
        outcomeOf(model.loadHistory("a"));
        QCOMPARE(asked(rig), 3);
        QCOMPARE(shownTemperature(model), 23.0);
    }
};

QTEST_GUILESS_MAIN(HistoryTest)
#include "tst_history.moc"
