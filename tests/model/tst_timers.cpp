#include "support/model_rig.h"
#include "support/settle.h"

#include <QSignalSpy>

using namespace std::chrono_literals;
using Response = LoopbackService::Response;

namespace {
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

class TimersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void setShowsLocalTimerThenTheServices() {
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
        // The request's form is tst_service_operations' to check.
        QCOMPARE(rig.service.requests("PUT", timerPath("a")).size(), 1);
        QCOMPARE(model.banner(), std::nullopt);
    }

    void failedChangeRestoresTheTimer() {
        for (const bool cancel : {false, true}) {
            ModelRig rig(
                {unitJson("a", "Bedroom", true), withTimer(unitJson("b", "Office", true), 600)});
            AppModel& model = rig.startPolling();
            rig.service.on(cancel ? "DELETE" : "PUT", timerPath("b"), Response::json("{}", 500));
            model.features().cancelTimer("a"); // no timer: nothing is sent
            const std::optional<PodTimer> before = model.pod("b")->timer;
            if (cancel)
                model.features().cancelTimer("b");
            else
                model.features().setTimer("b", 45, false);
            QCOMPARE(fireDate(model, "b"),
                     cancel ? std::nullopt : std::optional(rig.clock.now().addSecs(45LL * 60)));
            QVERIFY(QTest::qWaitFor([&] { return model.banner().has_value(); }));
            QCOMPARE(model.pod("b")->timer, before);
            QCOMPARE(*model.banner(),
                     (cancel ? "Couldn't cancel the timer. " : "Couldn't set the timer. ") +
                         SensiboAPI::Failure::http(500).errorDescription());
            QCOMPARE(rig.service.requests().size(), 2); // the listing and the failed change
        }
    }

    void panelOpeningReadsTimersOneAfterAnother() {
        ModelRig rig({withTimer(unitJson("a", "Hall", true), 600),
                      withTimer(unitJson("b", "Office", true), 600),
                      withTimer(unitJson("c", "Kitchen", true), 600)});
        AppModel& model = rig.startPolling();
        const std::optional<PodTimer> heldB = model.pod("b")->timer;
        const std::optional<PodTimer> heldC = model.pod("c")->timer;
        Response disabled = Response::json(
            envelope(QJsonObject{{"isEnabled", false}, {"targetTimeSecondsFromNow", 900}}));
        disabled.held = true;
        rig.service.on("GET", timerPath("a"), disabled);
        rig.service.on("GET", timerPath("b"), Response::json(R"({"status":"success"})")); // none
        rig.service.on("GET", timerPath("c"), Response::json("{}", 500));
        bool aDoneBeforeB = false;
        rig.otherAnswers = [&](const LoopbackService::Request& request) {
            if (request.path == timerPath("b"))
                aDoneBeforeB = !model.pod("a")->timer;
            return std::optional<Response>();
        };

        model.setPanelOpen(true);
        QVERIFY(rig.service.waitForRequests(2));
        // Requests start at once: a read of b beside a's would be in flight by now.
        QCOMPARE(networkAccess().findChildren<QNetworkReply*>().size(), 1);
        rig.service.release();
        QVERIFY(settle());
        QStringList asked;
        for (const LoopbackService::Request& request : rig.service.requests().mid(1))
            asked.append(request.path);
        QCOMPARE(asked, (QStringList{timerPath("a"), timerPath("b"), timerPath("c")}));
        QVERIFY(aDoneBeforeB);
        QCOMPARE(model.pod("b")->timer, heldB); // the service has none: the held one stays
        QCOMPARE(model.pod("c")->timer, heldC); // a failed read changes nothing
        QCOMPARE(model.banner(), std::nullopt);
    }

    void firedTimerGoesAndUnitsAreReadLater() {
        ModelRig rig({withTimer(unitJson("a", "Hall", false), 60)});
        AppModel& model = rig.startPolling();
        rig.units = {unitJson("a", "Hall", true)}; // what the timer did
        rig.clock.advance(10s);
        QSignalSpy podsChanged(&model, &AppModel::podsChanged);
        model.features().timerFired("a");
        QCOMPARE(model.pod("a")->timer, std::nullopt);
        QCOMPARE(podsChanged.size(), 1);
        rig.clock.advance(4999ms);
        QVERIFY(settle());
        QCOMPARE(rig.listings().size(), 1);
        rig.clock.advance(1ms);
        QVERIFY(QTest::qWaitFor([&] { return model.pod("a")->acState->on == true; }));
        QCOMPARE(rig.listings().size(), 2);
    }
};

QTEST_GUILESS_MAIN(TimersTest)
#include "tst_timers.moc"
