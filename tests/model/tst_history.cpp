#include "support/model_rig.h"
#include "support/outcome.h"

using namespace std::chrono_literals;
using Response = LoopbackService::Response;

namespace {
Response dayOf(double temperature) {
    const QJsonArray points{QJsonObject{{"time", "2024-05-01T09:00:00Z"}, {"value", temperature}}};
    return Response::json(envelope(QJsonObject{{"temperature", points}}));
}

const Response failure = Response::json("{}", 500);

// Answered only once the service's held answers are released.
Response held(Response response) {
    response.held = true;
    return response;
}

double shownTemperature(const AppModel& model) {
    const History history = model.history().value("a");
    return history.temperature.isEmpty() ? -1 : history.temperature.first().value;
}

// Unit "a" polled, its history answered by `answers` in turn, the last one for good.
AppModel& startWithHistory(ModelRig& rig, QList<Response> answers) {
    rig.units = {unitJson("a", "Bedroom", true)};
    rig.otherAnswers = [answers](const LoopbackService::Request&) mutable {
        return answers.size() > 1 ? answers.takeFirst() : answers.first();
    };
    return rig.startPolling();
}

qsizetype asked(const ModelRig& rig) {
    return rig.service.requests("GET", "/api/v2/pods/a/historicalMeasurements").size();
}
} // namespace

class HistoryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reloadsAfterTenMinutesOrAFailure() {
        ModelRig rig;
        AppModel& model = startWithHistory(rig, {held(dayOf(20)), failure, dayOf(23)});
        QCoro::Task<> first = model.loadHistory("a");
        QVERIFY(model.loadHistory("a").isReady()); // returns at once: the first is under way
        QVERIFY(QTest::qWaitFor([&] { return asked(rig) == 1; }));
        rig.service.release();
        outcomeOf(std::move(first));
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
        ModelRig rig;
        AppModel& model = startWithHistory(rig, {dayOf(20), held(failure), dayOf(23)});
        outcomeOf(model.loadHistory("a"));
        // A round trip through the demo empties the charts; the next chart asks again at once.
        model.account().loadDemo();
        model.account().exitDemo();
        QVERIFY(rig.waitForSleeps({60'000}));
        QCoro::Task<> failing = model.loadHistory("a");
        QVERIFY(QTest::qWaitFor([&] { return asked(rig) == 2; }));
        // Its failure arrives in the next session, which must not keep its stamp either.
        model.account().loadDemo();
        model.account().exitDemo();
        rig.service.release();
        outcomeOf(std::move(failing));
        QVERIFY(rig.waitForSleeps({60'000}));
        outcomeOf(model.loadHistory("a"));
        QCOMPARE(asked(rig), 3);
        QCOMPARE(shownTemperature(model), 23.0);
    }
};

QTEST_GUILESS_MAIN(HistoryTest)
#include "tst_history.moc"
