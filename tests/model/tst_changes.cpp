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

QString timerPath(const QString& id) {
    return QStringLiteral("/api/v1/pods/%1/timer/").arg(id);
}

QJsonObject withTimer(QJsonObject unit, qint64 secondsFromNow) {
    unit.insert("timer", QJsonObject{{"isEnabled", true},
                                     {"targetTimeSecondsFromNow", secondsFromNow},
                                     {"acState", QJsonObject{{"on", false}}}});
    return unit;
}

std::optional<QDateTime> fireDate(const AppModel& model, const QString& id) {
    const std::optional<PodTimer> timer = model.pod(id)->timer;
    return timer ? timer->fireDate : std::nullopt;
}
} // namespace

// What the user changes (states, timers, Climate React, the filter reminder) on its way out.
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
        QVERIFY(settle() && rig.service.requests("POST", statePath("a")).isEmpty());
        rig.clock.advance(1ms);
        // The answer is adopted.
        QVERIFY(swinging(model) && rig.service.requests("POST", statePath("a")).size() == 1);
        QCOMPARE(rig.sentState("a"), unitJson("a", "", true, 25).value("acState").toObject());
    }

    void failedSeriesRollsBack() {
        ModelRig rig({unitJson("a", "Bedroom", true, 22)});
        AppModel& model = rig.startPolling();
        rig.service.on("POST", statePath("a"), errorAnswer);
        LogWatch log;
        model.step("a", +1);
        model.step("a", +1);
        rig.clock.advance(600ms);
        model.step("a", +1); // the first send is under way: the series goes on
        rig.clock.advance(600ms);
        QVERIFY(rig.waitForBanner());
        const QString text = SensiboAPI::Failure::http(500).errorDescription();
        QVERIFY(target(model, "a") == 22 && model.banner() == "Couldn't change Bedroom. " + text);
        QVERIFY(log.newLines().contains("change failed for a: " + text));

        // The banner lives six seconds from the newest message.
        QVERIFY(settle());
        rig.clock.advance(4s);
        model.show("second");
        rig.clock.advance(2s); // the first message's six seconds are over
        QCOMPARE(model.banner(), QStringLiteral("second"));
        rig.clock.advance(3999ms);
        QVERIFY(model.banner());
        rig.clock.advance(1ms);
        QCOMPARE(model.banner(), std::nullopt);
    }

    void heldWhileOffGoesOutWithPowerOn() {
        ModelRig rig({unitJson("a", "Bedroom", false, 22)});
        AppModel& model = rig.startPolling();
        rig.service.on("POST", statePath("a"), Response::json(envelope({})));
        // Switched on elsewhere, then off again: the service's state shows, the held settings
        // are gone.
        model.step("a", -1);
        rig.units = {unitJson("a", "Bedroom", true, 26)};
        QVERIFY(rig.poll() && target(model, "a") == 26);
        rig.units = {unitJson("a", "Bedroom", false, 19)};
        QVERIFY(rig.poll() && target(model, "a") == 19);

        model.step("a", +1);
        model.stepFan("a", +1);
        QCOMPARE(rig.clock.pendingSleeps(), QList<qint64>{60'000}); // no send waits
        // A poll while held shows the held settings, not the service's.
        QVERIFY(rig.poll() && target(model, "a") == 20);
        QVERIFY(settle() && rig.service.requests("POST", statePath("a")).isEmpty());

        model.togglePower("a"); // sent at once
        QVERIFY(rig.service.waitForRequests(5));
        QJsonObject sent = unitJson("a", "", true, 20).value("acState").toObject();
        sent.insert("fanLevel", "low");
        QCOMPARE(rig.sentState("a"), sent);
    }

    // A poll while a change is under way keeps the change's state; a newer change cancels the
    // request, whose failure is then never shown; once answered, polls show the service's view.
    void changeInFlight() {
        ModelRig rig({unitJson("a", "Bedroom", true, 22)});
        rig.otherAnswers = [answered = false](const LoopbackService::Request& request) mutable {
            return std::exchange(answered, true) ? tookItSwinging(request) : heldBack(errorAnswer);
        };
        AppModel& model = rig.startPolling();
        rig.clock.advance(59s);
        model.togglePower("a"); // sent at once; the answer waits
        // A poll meanwhile still lists the unit on.
        QVERIFY(rig.poll(1s) && model.pod("a")->acState->on == false);
        model.togglePower("a");
        QVERIFY(swinging(model));
        QVERIFY(QTest::qWaitFor([&] { return rig.service.abandonedRequests().size() == 1; }));
        QCOMPARE(std::pair(model.banner(), model.pod("a")->isOn()),
                 std::pair(std::optional<QString>(), true));
        rig.units = {unitJson("a", "Bedroom", false, 22)};
        QVERIFY(rig.poll() && !model.pod("a")->isOn());
    }

    // The switch shows at once and goes out alone: a listing and a failed state change meanwhile
    // leave it shown. (A refusal putting it back is tst_control_adaptor's "react bed on: 500".)
    void climateReactSwitch() {
        const QString hall = "11AAbb22";
        Heard heard; // before the rig: the model's end tells it
        ModelRig rig(realUnits());
        rig.service.on("PUT", climateReactPath(hall),
                       heldBack(Response::json(envelope(QJsonObject{{"enabled", true}}))));
        rig.service.on("POST", statePath(hall), errorAnswer);
        AppModel& model = rig.startPolling();
        const auto enabled = [&] { return model.pod(hall)->smartMode->isEnabled(); };

        model.features().setClimateReact(hall, true, heard.listener());
        QVERIFY(enabled());
        model.togglePower(hall);
        QVERIFY(rig.waitForBanner() && rig.poll()); // the listing still says off
        QCOMPARE(std::pair(enabled(), model.pod(hall)->isOn()), std::pair(true, false));
        rig.service.release();
        QVERIFY(QTest::qWaitFor([&] { return heard.size() == 1; }) && !heard.last());
        // The request's form is tst_request_pipeline's to check.
        QCOMPARE(rig.service.requests("PUT", climateReactPath(hall)).size(), 1);
        QVERIFY(rig.poll() && !enabled()); // answered: the service's view shows again
    }

    void waitersHearTheSendThatCarriesTheirChange() {
        ModelRig rig({unitJson("a", "Bedroom", true, 22)});
        rig.service.on("POST", statePath("a"), errorAnswer);
        AppModel& model = rig.startPolling();
        Heard heard;
        const auto listen = heard.listener();

        // A step that a second one supersedes hears the outcome of the one request sent.
        model.step("a", +1);
        model.whenSettled("a", listen);
        model.step("a", +1);
        model.whenSettled("a", listen);
        rig.clock.advance(600ms);
        QVERIFY(QTest::qWaitFor([&] { return heard.size() == 2; }) && model.banner());
        QCOMPARE(rig.service.requests("POST", statePath("a")).size(), 1);
        QCOMPARE(heard, (Heard{{model.banner(), model.banner()}}));

        // The end of the session ends a timer request in flight, which then tells nothing, and
        // drops a step still waiting for more, which the next session does not send.
        rig.service.on("PUT", timerPath("a"), heldBack(errorAnswer));
        model.features().setTimer("a", 30, false);
        QVERIFY(QTest::qWaitFor(
            [&] { return !rig.service.requests("PUT", timerPath("a")).isEmpty(); }));
        model.step("a", +1);
        model.whenSettled("a", listen);
        model.account().loadDemo();
        QCOMPARE(heard.size(), 3);
        const std::optional<QString> banner = model.banner();
        QVERIFY(QTest::qWaitFor([&] { return rig.service.abandonedRequests().size() == 1; }));
        QCOMPARE(model.banner(), banner);
        QVERIFY(heard.last().value_or("").startsWith("The change was dropped"));
        rig.clock.advance(1s);
        model.account().exitDemo(); // its listing comes after anything the step would have sent
        QVERIFY(rig.waitForSleeps({60'000}) &&
                rig.service.requests("POST", statePath("a")).size() == 1);
        model.whenSettled("a", listen); // nothing in flight
        QVERIFY(heard.size() == 4 && !heard.last());
    }

    // Ended at once, and listings, light or full, keep it ended. (A refusal bringing it back is
    // tst_control_adaptor's "filter bed done: 500".)
    void filterReminder() {
        ModelRig rig({dueFilter(unitJson("a", "Bedroom", true))});
        AppModel& model = rig.startPolling();
        // A light listing, without the filter count, keeps the reminder.
        QVERIFY(rig.poll() && model.pod("a")->isFilterDue());
        rig.service.on("DELETE", cleanedPath("a"),
                       heldBack(Response::json(R"({"status":"success"})")));
        Heard heard;
        model.features().filterCleaned("a", heard.listener());
        model.features().filterCleaned("a", heard.listener()); // waits for the request under way
        QVERIFY(!model.pod("a")->isFilterDue());
        // A new unit brings a full listing at once, the reminder still due in it.
        rig.units.append(dueFilter(unitJson("b", "Office", false)));
        QVERIFY(rig.poll() && isFullListing(rig.listings().last()));
        QVERIFY(!model.pod("a")->isFilterDue());
        rig.service.release();
        QVERIFY(QTest::qWaitFor([&] { return heard.size() == 2; }) && rig.poll());
        QCOMPARE(std::tuple(heard, model.pod("a")->isFilterDue(), model.banner()),
                 std::tuple(Heard{{std::nullopt, std::nullopt}}, false, std::optional<QString>()));

        // With the key refused nothing is sent; the demo only clears.
        rig.listingAnswers = {Response::json("{}", 401)};
        rig.clock.advance(1min);
        QVERIFY(rig.waitForNeedsKey());
        model.features().filterCleaned("b", heard.listener());
        QCOMPARE(heard.last(), "Alvore can't clear the filter reminder now.");
        model.account().loadDemo();
        model.features().filterCleaned("demo2", heard.listener());
        QCOMPARE(std::pair(heard.last(), model.pod("demo2")->isFilterDue()),
                 std::pair(std::optional<QString>(), false));
        QVERIFY(settle() && rig.service.requests("DELETE", cleanedPath("b")).isEmpty());
    }

    void timerSetShowsLocallyThenTheServicesAndGoesWhenFired() {
        ModelRig rig({unitJson("a", "Bedroom", true, 24)});
        AppModel& model = rig.startPolling();
        rig.service.on("PUT", timerPath("a"), Response::json({}));
        rig.service.on("GET", timerPath("a"),
                       Response::json(envelope(withTimer({}, 1790).value("timer"))));
        model.features().setTimer("a", 0, false); // nothing
        QCOMPARE(model.pod("a")->timer, std::nullopt);

        model.features().setTimer("a", 30, false);
        const PodTimer local = *model.pod("a")->timer;
        QCOMPARE(local,
                 (PodTimer{true, ACState{false, "cool", 24, "C", "auto", "stopped", {}, {}},
                           local.targetTimeSecondsFromNow, rig.clock.now().addSecs(30LL * 60)}));

        QVERIFY(QTest::qWaitFor([&] { return fireDate(model, "a") != local.fireDate; }));
        QCOMPARE(fireDate(model, "a"), rig.clock.now().addSecs(1790));
        // The request's form is tst_request_pipeline's to check.
        QVERIFY(rig.service.requests("PUT", timerPath("a")).size() == 1 && !model.banner());

        // Once it fires it goes at once, and the units are read again after the one sleep of five
        // seconds that tst_unit_card's timerBadgeFiresOnce finds.
        rig.units = {unitJson("a", "Bedroom", false, 24)}; // what the timer did
        rig.clock.advance(10s);
        model.features().timerFired("a");
        rig.clock.advance(5s);
        QVERIFY(QTest::qWaitFor([&] { return model.pod("a")->acState->on == false; }));
        QCOMPARE(rig.listings().size(), 2);
    }

    // A failed set is tst_control_adaptor's "timer bed 30m off: 500".
    void failedCancelRestoresTheTimer() {
        ModelRig rig(
            {unitJson("a", "Bedroom", true), withTimer(unitJson("b", "Office", true), 600)});
        AppModel& model = rig.startPolling();
        rig.service.on("DELETE", timerPath("b"), errorAnswer);
        model.features().cancelTimer("a"); // no timer: nothing is sent
        const std::optional<PodTimer> before = model.pod("b")->timer;
        model.features().cancelTimer("b");
        QVERIFY(!fireDate(model, "b") && rig.waitForBanner()); // gone at once, then back
        QCOMPARE(std::pair(model.pod("b")->timer, *model.banner()),
                 std::pair(before, "Couldn't cancel the timer. " +
                                       SensiboAPI::Failure::http(500).errorDescription()));
        QCOMPARE(rig.service.requests().size(), 2); // the listing and the failed change
    }

    void panelOpeningReadsTimersOneAfterAnother() {
        ModelRig rig({withTimer(unitJson("a", "Hall", true), 600),
                      withTimer(unitJson("b", "Office", true), 600),
                      withTimer(unitJson("c", "Kitchen", true), 600)});
        AppModel& model = rig.startPolling();
        const std::optional<PodTimer> heldB = model.pod("b")->timer, heldC = model.pod("c")->timer;
        rig.service.on("GET", timerPath("a"),
                       heldBack(Response::json(envelope(
                           QJsonObject{{"isEnabled", false}, {"targetTimeSecondsFromNow", 900}}))));
        rig.service.on("GET", timerPath("b"), Response::json(R"({"status":"success"})")); // none
        rig.service.on("GET", timerPath("c"), errorAnswer);
        bool aDoneBeforeB = false;
        QStringList asked;
        rig.otherAnswers = [&](const LoopbackService::Request& request) {
            asked.append(request.path);
            if (request.path == timerPath("b"))
                aDoneBeforeB = !model.pod("a")->timer;
            return std::optional<Response>();
        };

        model.setPanelOpen(true);
        QVERIFY(rig.service.waitForRequests(2));
        // Requests start at once: a read of b beside a's would be in flight by now.
        QCOMPARE(networkAccess().findChildren<QNetworkReply*>().size(), 1);
        rig.service.release();
        QVERIFY(settle() && asked == QStringList({timerPath("a"), timerPath("b"), timerPath("c")}));
        // b's is what the service has none of, c's read failed: both stay as held.
        QCOMPARE(
            std::tuple(aDoneBeforeB, model.pod("b")->timer, model.pod("c")->timer, model.banner()),
            std::tuple(true, heldB, heldC, std::optional<QString>()));
    }
};

QTEST_GUILESS_MAIN(ChangesTest)
#include "tst_changes.moc"
