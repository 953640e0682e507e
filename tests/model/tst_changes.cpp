#include "support/log_watch.h"
#include "support/model_rig.h"
#include "support/settle.h"

using namespace std::chrono_literals;
using Response = LoopbackService::Response;

namespace {
// The service took the state that was sent, but swings the vanes.
std::optional<Response> tookItSwinging(const LoopbackService::Request& request) {
    QJsonObject state = QJsonDocument::fromJson(request.body).object().value("acState").toObject();
    state.insert("swing", "rangeFull");
    return Response::json(envelope(QJsonObject{{"status", "Success"}, {"acState", state}}));
}

qint64 target(const AppModel& model, const QString& id) {
    return model.pod(id)->acState->targetTemperature.value_or(-1);
}

QString cleanedPath(const QString& id) {
    return QStringLiteral("/api/v2/pods/%1/cleanFiltersNotification").arg(id);
}

QJsonObject dueFilter(QJsonObject unit) {
    unit.insert("filtersCleaning", QJsonObject{{"shouldCleanFilters", true},
                                               {"acOnSecondsSinceLastFiltersClean", 8781766}});
    return unit;
}

bool swinging(const AppModel& model) {
    return QTest::qWaitFor([&] { return model.pod("a")->acState->swing == "rangeFull"; });
}
} // namespace

class ChangesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void quickStepsMakeOneRequest() {
        ModelRig rig({unitJson("a", "Bedroom", true, 22)});
        rig.otherAnswers = tookItSwinging;
        AppModel& model = rig.startPolling();
        for (int step = 0; step < 3; ++step) {
            model.step("a", +1);
            rig.clock.advance(300ms);
        }
        QCOMPARE(target(model, "a"), 25);
        rig.clock.advance(299ms);
        QVERIFY(settle());
        QCOMPARE(rig.service.requests("POST", statePath("a")).size(), 0);
        rig.clock.advance(1ms);
        QVERIFY(swinging(model)); // the answer is adopted
        QCOMPARE(rig.service.requests("POST", statePath("a")).size(), 1);
        QCOMPARE(rig.sentState("a"), unitJson("a", "", true, 25).value("acState").toObject());
    }

    void failedSeriesRollsBack() {
        ModelRig rig({unitJson("a", "Bedroom", true, 22)});
        AppModel& model = rig.startPolling();
        rig.service.on("POST", statePath("a"), Response::json("{}", 500));
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
    }

    void heldWhileOffGoesOutWithPowerOn() {
        ModelRig rig({unitJson("a", "Bedroom", false, 22)});
        AppModel& model = rig.startPolling();
        rig.service.on("POST", statePath("a"), Response::json(envelope({})));
        // Switched on elsewhere, then off again: the service's state shows, the held settings
        // are gone.
        model.step("a", -1);
        rig.units = {unitJson("a", "Bedroom", true, 26)};
        QVERIFY(rig.poll());
        QCOMPARE(target(model, "a"), 26);
        rig.units = {unitJson("a", "Bedroom", false, 19)};
        QVERIFY(rig.poll());
        QCOMPARE(target(model, "a"), 19);

        model.step("a", +1);
        model.stepFan("a", +1);
        QCOMPARE(rig.clock.pendingSleeps(), QList<qint64>{60'000}); // no send waits
        QVERIFY(rig.poll()); // a poll while held shows the held settings, not the service's
        QCOMPARE(target(model, "a"), 20);
        QVERIFY(settle());
        QCOMPARE(rig.service.requests("POST", statePath("a")).size(), 0);

        model.togglePower("a"); // sent at once
        QVERIFY(rig.service.waitForRequests(5));
        QJsonObject sent = unitJson("a", "", true, 20).value("acState").toObject();
        sent.insert("fanLevel", "low");
        QCOMPARE(rig.sentState("a"), sent);
    }

    void pollKeepsStateOfChangeInFlight() {
        ModelRig rig({unitJson("a", "Bedroom", true, 22)});
        rig.otherAnswers = [](const LoopbackService::Request& request) {
            std::optional<Response> late = tookItSwinging(request);
            late->held = true;
            return late;
        };
        AppModel& model = rig.startPolling();
        rig.clock.advance(59s);
        model.togglePower("a"); // sent at once; the answer waits
        QVERIFY(rig.poll(1s));  // a poll meanwhile still lists the unit on
        QCOMPARE(model.pod("a")->acState->on, false);
        rig.service.release();
        QVERIFY(swinging(model));
        QVERIFY(rig.poll()); // answered: polls show the service's view again
        QCOMPARE(model.pod("a")->acState->on, true);
    }

    void newerChangeSupersedesTheSend() {
        ModelRig rig({unitJson("a", "Bedroom", true, 22)});
        // The first change would fail, but its answer waits; the one after it succeeds.
        rig.otherAnswers = [answered = false](const LoopbackService::Request& request) mutable {
            if (std::exchange(answered, true))
                return tookItSwinging(request);
            Response failing = Response::json("{}", 500);
            failing.held = true;
            return std::optional(failing);
        };
        AppModel& model = rig.startPolling();
        model.togglePower("a");
        QVERIFY(rig.service.waitForRequests(2));
        model.togglePower("a"); // cancels the failing request; its failure is never shown
        QVERIFY(swinging(model));
        QVERIFY(QTest::qWaitFor([&] { return rig.service.abandonedRequests().size() == 1; }));
        QCOMPARE(model.banner(), std::nullopt);
        QCOMPARE(model.pod("a")->acState->on, true);
    }

    void pendingSendEndsWithItsSession() {
        ModelRig rig({unitJson("a", "Bedroom", true, 22)});
        rig.otherAnswers = [](const LoopbackService::Request&) {
            return std::optional(Response::json("{}", 401));
        };
        AppModel& model = rig.startPolling();
        model.step("a", +1); // waits 0.6 s for more steps
        model.account().loadDemo();
        rig.clock.advance(1s);
        model.account().exitDemo(); // its listing comes after anything the step would have sent
        QVERIFY(rig.waitForSleeps({60'000}));
        QCOMPARE(rig.service.requests("POST", statePath("a")).size(), 0);
        QCOMPARE(model.banner(), std::nullopt);
    }

    // The switch shows at once and goes out alone: a listing and a failed state change meanwhile
    // leave it shown; a refusal puts it back.
    void climateReactSwitch() {
        const QString hall = "11AAbb22";
        std::optional<std::optional<QString>> heard; // before the rig: the model's end tells it
        ModelRig rig(realUnits());
        Response held = Response::json(envelope(QJsonObject{{"enabled", true}}));
        held.held = true;
        rig.service.on("PUT", climateReactPath(hall), held);
        rig.service.on("POST", statePath(hall), Response::json("{}", 500));
        AppModel& model = rig.startPolling();
        const auto enabled = [&] { return model.pod(hall)->smartMode->isEnabled(); };
        const auto listen = [&heard](const std::optional<QString>& failure) { heard = failure; };

        model.features().setClimateReact(hall, true, listen);
        QVERIFY(enabled());
        model.togglePower(hall);
        QVERIFY(QTest::qWaitFor([&] { return model.banner().has_value(); }));
        QVERIFY(rig.poll()); // the listing still says off
        QCOMPARE(std::pair(enabled(), model.pod(hall)->isOn()), std::pair(true, false));
        rig.service.release();
        QVERIFY(QTest::qWaitFor([&] { return heard.has_value(); }));
        QCOMPARE(*heard, std::nullopt);
        const auto puts = rig.service.requests("PUT", climateReactPath(hall));
        QCOMPARE(puts.size(), 1);
        QCOMPARE(puts.first().body, R"({"enabled":true})");
        QVERIFY(rig.poll() && !enabled()); // answered: the service's view shows again

        rig.service.on("PUT", climateReactPath(hall), Response::json("{}", 500));
        heard.reset();
        model.features().setClimateReact(hall, true, listen);
        QVERIFY(QTest::qWaitFor([&] { return heard.has_value(); }));
        QVERIFY(!enabled());
        QCOMPARE(model.banner(), "Couldn't turn Climate React on for Hall. " +
                                     SensiboAPI::Failure::http(500).errorDescription());
        QCOMPARE(*heard, model.banner());
    }

    void bannerLivesSixSecondsFromTheNewestMessage() {
        ModelRig rig;
        AppModel& model = rig.start(true);
        model.show("first");
        rig.clock.advance(4s);
        model.show("second");
        rig.clock.advance(2s); // the first message's six seconds are over
        QCOMPARE(model.banner(), QStringLiteral("second"));
        rig.clock.advance(3999ms);
        QVERIFY(model.banner());
        rig.clock.advance(1ms);
        QCOMPARE(model.banner(), std::nullopt);
    }

    void waitersHearTheSendThatCarriesTheirChange() {
        ModelRig rig({unitJson("a", "Bedroom", true, 22)});
        rig.service.on("POST", statePath("a"), Response::json("{}", 500));
        AppModel& model = rig.startPolling();
        QList<std::optional<QString>> heard;
        const auto listen = [&heard](const std::optional<QString>& failure) {
            heard.append(failure);
        };

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

        // Signing out also ends a timer request in flight, which then tells nothing.
        Response slow = Response::json("{}", 500);
        slow.held = true;
        const QString timerPath = "/api/v1/pods/a/timer/";
        rig.service.on("PUT", timerPath, slow);
        model.features().setTimer("a", 30, false);
        QVERIFY(QTest::qWaitFor([&] { return !rig.service.requests("PUT", timerPath).isEmpty(); }));
        model.step("a", +1);
        model.whenSettled("a", listen);
        model.account().signOut();
        QCOMPARE(heard.size(), 3);
        const std::optional<QString> banner = model.banner();
        QVERIFY(QTest::qWaitFor([&] { return rig.service.abandonedRequests().size() == 1; }));
        QCOMPARE(model.banner(), banner);
        QVERIFY(heard.last().value_or("").startsWith("The change was dropped"));
        model.whenSettled("a", listen); // nothing in flight
        QCOMPARE(heard.size(), 4);
        QCOMPARE(heard.last(), std::nullopt);
    }

    void filterReminderEndsAtOnceAndListingsKeepItEnded() {
        ModelRig rig({dueFilter(unitJson("a", "Bedroom", true))});
        AppModel& model = rig.startPolling();
        QVERIFY(rig.poll()); // a light listing, without the filter count, keeps the reminder
        QVERIFY(model.pod("a")->isFilterDue());
        Response held = Response::json(R"({"status":"success"})");
        held.held = true;
        rig.service.on("DELETE", cleanedPath("a"), held);
        QList<std::optional<QString>> heard;
        const auto listen = [&heard](const std::optional<QString>& failure) {
            heard.append(failure);
        };
        model.features().filterCleaned("a", listen);
        model.features().filterCleaned("a", listen); // waits for the request under way
        QVERIFY(!model.pod("a")->isFilterDue());
        // A new unit brings a full listing at once, the reminder still due in it.
        rig.units.append(unitJson("b", "Office", false));
        QVERIFY(rig.poll());
        QVERIFY(isFullListing(rig.listings().last()));
        QVERIFY(!model.pod("a")->isFilterDue());
        rig.service.release();
        QVERIFY(QTest::qWaitFor([&] { return heard.size() == 2; }));
        QCOMPARE(heard, (QList<std::optional<QString>>{std::nullopt, std::nullopt}));
        QVERIFY(rig.poll());
        QVERIFY(!model.pod("a")->isFilterDue());
        QCOMPARE(rig.service.requests("DELETE", cleanedPath("a")).size(), 1);
        QCOMPARE(model.banner(), std::nullopt);
    }

    void filterReminderComesBackWhenRefused() {
        ModelRig rig({dueFilter(unitJson("a", "Bedroom", true))});
        AppModel& model = rig.startPolling();
        rig.service.on("DELETE", cleanedPath("a"), Response::json("{}", 500));
        std::optional<QString> heard = "nothing yet";
        const auto listen = [&heard](const std::optional<QString>& failure) { heard = failure; };
        model.features().filterCleaned("a", listen);
        QVERIFY(!model.pod("a")->isFilterDue());
        QVERIFY(QTest::qWaitFor([&] { return model.banner().has_value(); }));
        const QString text = "Couldn't clear the filter reminder. " +
                             SensiboAPI::Failure::http(500).errorDescription();
        QCOMPARE(std::tuple(model.banner(), heard, model.pod("a")->isFilterDue()),
                 std::tuple(std::optional(text), std::optional(text), true));

        // With the key refused nothing is sent; the demo only clears.
        rig.listingAnswers = {Response::json("{}", 401)};
        rig.clock.advance(1min);
        QVERIFY(QTest::qWaitFor([&] { return model.status().kind == AppModel::Status::needsKey; }));
        model.features().filterCleaned("a", listen);
        QCOMPARE(heard, "Alvore can't clear the filter reminder now.");
        model.account().loadDemo();
        model.features().filterCleaned("demo2", listen);
        QCOMPARE(std::pair(heard, model.pod("demo2")->isFilterDue()),
                 std::pair(std::optional<QString>(), false));
        QVERIFY(settle());
        QCOMPARE(rig.service.requests("DELETE", cleanedPath("a")).size(), 1);
    }
};

QTEST_GUILESS_MAIN(ChangesTest)
#include "tst_changes.moc"
