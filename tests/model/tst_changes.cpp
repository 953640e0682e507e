#include "support/log_watch.h"
#include "support/model_rig.h"
#include "support/settle.h"

using namespace std::chrono_literals;

namespace {
LoopbackService::Response took(const QJsonObject& state) {
    return LoopbackService::Response::json(
        envelope(QJsonObject{{"status", "Success"}, {"acState", state}}));
}

// The service took the state that was sent, but swings the vanes.
std::optional<LoopbackService::Response> tookItSwinging(const LoopbackService::Request& request) {
    QJsonObject state = QJsonDocument::fromJson(request.body).object().value("acState").toObject();
    state.insert("swing", "rangeFull");
    return took(state);
}

QJsonObject sentState(const LoopbackService::Request& request) {
    return QJsonDocument::fromJson(request.body).object().value("acState").toObject();
}

qint64 target(const AppModel& model, const QString& id) {
    return model.pod(id)->acState->targetTemperature.value_or(-1);
}
} // namespace

class ChangesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void quickStepsMakeOneRequest();
    void failedSeriesRollsBack();
    void heldWhileOffGoesOutWithPowerOn();
    void unitSwitchedOnElsewhereDropsHeldSettings();
    void pollKeepsStateOfChangeInFlight();
    void newerChangeSupersedesTheSend();
    void operationsInDemo();
    void pendingSendEndsWithItsSession();
    void waitersHearTheSendThatCarriesTheirChange();
};

void ChangesTest::quickStepsMakeOneRequest() {
    ModelRig rig;
    rig.units = {unitJson("a", "Bedroom", true, 22)};
    rig.otherAnswers = tookItSwinging;
    AppModel& model = rig.startPolling();
    for (const qint64 expected : {23, 24, 25}) {
        model.step("a", +1);
        QCOMPARE(target(model, "a"), expected);
        rig.clock.advance(300ms);
    }
    rig.clock.advance(299ms);
    QVERIFY(settle());
    QCOMPARE(rig.service.requests("POST", statePath("a")).size(), 0);
    rig.clock.advance(1ms);
    QVERIFY(rig.service.waitForRequests(2));
    const auto posts = rig.service.requests("POST", statePath("a"));
    QCOMPARE(posts.size(), 1);
    QCOMPARE(sentState(posts.first()).value("targetTemperature").toInt(), 25);
    QCOMPARE(sentState(posts.first()).value("on").toBool(), true);
    // The answer is adopted.
    QVERIFY(QTest::qWaitFor([&] { return model.pod("a")->acState->swing == "rangeFull"; }));
    QCOMPARE(target(model, "a"), 25);
}

void ChangesTest::failedSeriesRollsBack() {
    ModelRig rig;
    rig.units = {unitJson("a", "Bedroom", true, 22)};
    AppModel& model = rig.startPolling();
    rig.service.on("POST", statePath("a"), LoopbackService::Response::json("{}", 500));
    LogWatch log;
    model.step("a", +1);
    model.step("a", +1);
    rig.clock.advance(600ms);
    model.step("a", +1); // the first send is under way: the series goes on
    rig.clock.advance(600ms);
    QVERIFY(QTest::qWaitFor([&] { return model.banner().has_value(); }));
    const QString text = SensiboAPI::Failure::http(500).errorDescription();
    QCOMPARE(target(model, "a"), 22);
    QCOMPARE(model.banner(), "Couldn't change Bedroom. " + text);
    QVERIFY(log.newLines().contains("change failed for a: " + text));
    rig.clock.advance(6s);
    QCOMPARE(model.banner(), std::nullopt);
}

void ChangesTest::heldWhileOffGoesOutWithPowerOn() {
    ModelRig rig;
    rig.units = {unitJson("a", "Bedroom", false, 22)};
    AppModel& model = rig.startPolling();
    rig.service.on("POST", statePath("a"), LoopbackService::Response::json(envelope({})));
    model.step("a", +1);
    model.stepFan("a", +1);
    QCOMPARE(target(model, "a"), 23);
    QCOMPARE(rig.clock.pendingSleeps(), QList<qint64>{60'000}); // no send waits
    // A poll while held shows the held settings, not the service's.
    rig.clock.advance(60s);
    QVERIFY(rig.waitForSleeps({60'000}));
    QCOMPARE(target(model, "a"), 23);
    QVERIFY(settle());
    QCOMPARE(rig.service.requests("POST", statePath("a")).size(), 0);

    model.togglePower("a"); // sent at once
    QVERIFY(rig.service.waitForRequests(3));
    const QJsonObject sent = sentState(rig.service.requests("POST", statePath("a")).first());
    QCOMPARE(sent.value("on").toBool(), true);
    QCOMPARE(sent.value("targetTemperature").toInt(), 23);
    QCOMPARE(sent.value("fanLevel").toString(), QStringLiteral("low"));
}

void ChangesTest::unitSwitchedOnElsewhereDropsHeldSettings() {
    ModelRig rig;
    rig.units = {unitJson("a", "Bedroom", false, 22)};
    AppModel& model = rig.startPolling();
    model.step("a", -1);
    QCOMPARE(target(model, "a"), 21);
    rig.units = {unitJson("a", "Bedroom", true, 26)};
    rig.clock.advance(60s);
    QVERIFY(rig.waitForSleeps({60'000}));
    QCOMPARE(target(model, "a"), 26);
    // Off again: the service's state shows, the held settings are gone.
    rig.units = {unitJson("a", "Bedroom", false, 19)};
    rig.clock.advance(60s);
    QVERIFY(rig.waitForSleeps({60'000}));
    QCOMPARE(target(model, "a"), 19);
}

void ChangesTest::pollKeepsStateOfChangeInFlight() {
    ModelRig rig;
    rig.units = {unitJson("a", "Bedroom", true, 22)};
    AppModel& model = rig.startPolling();
    QJsonObject answered = rig.units.first().toObject().value("acState").toObject();
    answered.insert("on", false);
    answered.insert("swing", "rangeFull");
    LoopbackService::Response late = took(answered);
    late.held = true;
    rig.service.on("POST", statePath("a"), late);
    rig.clock.advance(59s);
    model.togglePower("a"); // sent at once; the answer waits
    QCOMPARE(model.pod("a")->acState->on, false);
    rig.clock.advance(1s); // a poll meanwhile still lists the unit on
    QVERIFY(rig.waitForSleeps({60'000}));
    QCOMPARE(model.pod("a")->acState->on, false);
    rig.service.release();
    QVERIFY(QTest::qWaitFor([&] { return model.pod("a")->acState->swing == "rangeFull"; }));
    // Answered: polls show the service's view again.
    rig.clock.advance(60s);
    QVERIFY(rig.waitForSleeps({60'000}));
    QCOMPARE(model.pod("a")->acState->on, true);
}

void ChangesTest::newerChangeSupersedesTheSend() {
    ModelRig rig;
    rig.units = {unitJson("a", "Bedroom", true, 22)};
    // The first change fails late; the one after it succeeds.
    rig.otherAnswers = [answered = false](const LoopbackService::Request& request) mutable {
        if (std::exchange(answered, true))
            return tookItSwinging(request);
        LoopbackService::Response failing = LoopbackService::Response::json("{}", 500);
        failing.delay = 100ms;
        return std::optional(failing);
    };
    AppModel& model = rig.startPolling();
    model.togglePower("a");
    QVERIFY(rig.service.waitForRequests(2));
    model.togglePower("a"); // cancels the failing request; its failure is never shown
    QVERIFY(QTest::qWaitFor([&] { return model.pod("a")->acState->swing == "rangeFull"; }));
    QVERIFY(QTest::qWaitFor([&] { return rig.service.abandonedRequests().size() == 1; }));
    QCOMPARE(model.banner(), std::nullopt);
    QCOMPARE(model.pod("a")->acState->on, true);
}

void ChangesTest::operationsInDemo() {
    ModelRig rig;
    AppModel& model = rig.start(true);
    model.step("demo1", +1);
    QCOMPARE(target(model, "demo1"), 23);
    model.change("demo1", false, [](ACState& state) { state.targetTemperature = 30; });
    model.step("demo1", +1); // at the top: nothing
    QCOMPARE(target(model, "demo1"), 30);
    model.step("demo1", -1);
    QCOMPARE(target(model, "demo1"), 29);

    // Fan levels of demo1 in order: auto, quiet, low, medium, high.
    model.stepFan("demo1", +1);
    QCOMPARE(model.pod("demo1")->acState->fanLevel, QStringLiteral("quiet"));
    model.change("demo1", false, [](ACState& state) { state.fanLevel = "high"; });
    model.stepFan("demo1", +1);
    QCOMPARE(model.pod("demo1")->acState->fanLevel, QStringLiteral("high"));

    model.setMode("demo3", "heat"); // not offered: the mode stays, the unit is switched on
    QCOMPARE(model.pod("demo3")->acState->mode, QStringLiteral("fan"));
    QCOMPARE(model.pod("demo3")->acState->on, true);
    model.setMode("demo3", "dry"); // offered: switched on in dry mode, fan level fitted
    QCOMPARE(model.pod("demo3")->acState->mode, QStringLiteral("dry"));
    QCOMPARE(model.pod("demo3")->acState->on, true);
    QCOMPARE(model.pod("demo3")->acState->fanLevel, QStringLiteral("low"));
    QCOMPARE(model.pod("demo3")->acState->targetTemperature, 23); // the middle of 16…30
    QVERIFY(settle());
    QCOMPARE(rig.service.requests().size(), 0);
    QCOMPARE(rig.clock.pendingSleeps(), QList<qint64>{});
}

void ChangesTest::pendingSendEndsWithItsSession() {
    ModelRig rig;
    rig.units = {unitJson("a", "Bedroom", true, 22)};
    rig.otherAnswers = [](const LoopbackService::Request&) {
        return std::optional(LoopbackService::Response::json("{}", 401));
    };
    AppModel& model = rig.startPolling();
    model.step("a", +1); // waits 0.6 s for more steps
    model.loadDemo();
    rig.clock.advance(1s);
    model.exitDemo(); // its listing comes after anything the step would have sent
    QVERIFY(rig.waitForSleeps({60'000}));
    QCOMPARE(rig.service.requests("POST", statePath("a")).size(), 0);
    QCOMPARE(model.banner(), std::nullopt);
}

void ChangesTest::waitersHearTheSendThatCarriesTheirChange() {
    ModelRig rig;
    rig.units = {unitJson("a", "Bedroom", true, 22)};
    rig.service.on("POST", statePath("a"), LoopbackService::Response::json("{}", 500));
    AppModel& model = rig.startPolling();
    QList<std::optional<QString>> heard;
    const auto listen = [&heard](const std::optional<QString>& failure) { heard.append(failure); };

    // A step that a second one supersedes hears the outcome of the one request sent.
    model.step("a", +1);
    model.whenSettled("a", listen);
    model.step("a", +1);
    model.whenSettled("a", listen);
    rig.clock.advance(600ms);
    QVERIFY(QTest::qWaitFor([&] { return heard.size() == 2; }));
    QCOMPARE(rig.service.requests("POST", statePath("a")).size(), 1);
    QVERIFY(model.banner());
    QCOMPARE(heard, (QList<std::optional<QString>>{model.banner(), model.banner()}));

    model.step("a", +1);
    model.whenSettled("a", listen);
    model.signOut();
    QCOMPARE(heard.size(), 3);
    QVERIFY(heard.last().value_or("").startsWith("The change was dropped"));
    model.whenSettled("a", listen); // nothing in flight
    QCOMPARE(heard.size(), 4);
    QCOMPARE(heard.last(), std::nullopt);
}

QTEST_GUILESS_MAIN(ChangesTest)
#include "tst_changes.moc"
