#include "model/poll_pace.h"
#include "support/log_watch.h"
#include "support/model_rig.h"
#include "support/outcome.h"
#include "support/settle.h"

#include <QSignalSpy>

using namespace std::chrono_literals;
using Response = LoopbackService::Response;
using Kind = AppModel::Status::Kind;

namespace {
Response held(const ModelRig& rig) {
    return heldBack(Response::json(envelope(rig.units)));
}

const QString unreadable = SensiboAPI::Failure::unreadable().errorDescription();

// Everything in the user defaults store: settings, presets and the app's flags.
QMap<QString, QVariant> contents(QSettings& store) {
    QMap<QString, QVariant> values;
    for (const QString& key : store.allKeys())
        values.insert(key, store.value(key));
    return values;
}

Response dayOf(double temperature) {
    const QJsonArray points{QJsonObject{{"time", "2024-05-01T09:00:00Z"}, {"value", temperature}}};
    return Response::json(envelope(QJsonObject{{"temperature", points}}));
}

double shownTemperature(const AppModel& model) {
    const History history = model.history().value("a");
    return history.temperature.isEmpty() ? -1 : history.temperature.first().value;
}

qsizetype asked(const ModelRig& rig) {
    return rig.service.requests("GET", "/api/v2/pods/a/historicalMeasurements").size();
}
} // namespace

// The listings at their pace, and every fault of a refresh; the charts' history, read on demand.
class PollingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsWithFullListingThenLightOnesAtThePaceAndKeepsASelection() {
        ModelRig rig({unitJson("a", "Hall", true), unitJson("b", "Office", false)});
        AppModel& model = rig.start();
        QCOMPARE(model.status().kind, AppModel::Status::loading);
        QVERIFY(rig.waitForSleeps({60'000}) && isFullListing(rig.listings().value(0)));
        QVERIFY(model.status().kind == AppModel::Status::ready && model.pods().size() == 2);
        QCOMPARE(model.lastUpdated(), rig.clock.now());

        // Light listings keep the capabilities; an identical list is not published again.
        QSignalSpy podsChanged(&model, &AppModel::podsChanged);
        rig.clock.advance(59'999ms);
        QVERIFY(settle() && rig.listings().size() == 1);
        QVERIFY(rig.poll(1ms) && !isFullListing(rig.listings().value(1)));
        QVERIFY(model.pods().first().remoteCapabilities && podsChanged.isEmpty() &&
                model.pods().first().productModel == "skyv2");

        // With the panel open the pace is 15 s from the next sleep on; data 60 s old are fetched
        // at once.
        rig.clock.advance(6s);
        model.setPanelOpen(true);
        QVERIFY(rig.waitForSleeps({15'000}) && rig.listings().size() == 3);
        model.setPanelOpen(false);
        QVERIFY(rig.poll(15s) && rig.listings().size() == 4);

        // The selection: by number; when the selected unit leaves the listing, the first one; none
        // when none is left.
        QCOMPARE(model.selectedID(), QStringLiteral("a"));
        model.select(2);
        model.select(0); // out of range: nothing
        model.select(3);
        QCOMPARE(model.selectedID(), QStringLiteral("b"));
        rig.units = {unitJson("c", "Den", true), unitJson("a", "Hall", true)};
        QVERIFY(rig.poll() && model.selectedID() == "c");
        rig.units = {};
        QVERIFY(rig.poll() && !model.selectedID());
    }

    // A full listing comes every hour, and at once when a unit is new.
    void fullListingEveryHourAndForNewUnits() {
        ModelRig rig({unitJson("a", "Hall", true)});
        AppModel& model = rig.startPolling();
        // Listings at 0 s (full), 60 s … 3600 s (light), 3660 s (full again).
        for (int poll = 1; poll <= 61; ++poll)
            QVERIFY(rig.poll());
        QCOMPARE(rig.listings().size(), 62);
        QVERIFY(!isFullListing(rig.listings()[60]) && isFullListing(rig.listings()[61]));

        // The new unit's light listing, a full one at once, then light again; both units keep
        // their capabilities.
        rig.units.append(unitJson("b", "Office", false));
        QVERIFY(rig.poll() && rig.poll() && rig.listings().size() == 65);
        QVERIFY(!isFullListing(rig.listings()[62]) && isFullListing(rig.listings()[63]) &&
                !isFullListing(rig.listings()[64]));
        QVERIFY(model.pods().at(0).remoteCapabilities && model.pods().at(1).remoteCapabilities);
    }

    // Each failure doubles the wait, up to 5 minutes; the panel's pace is 15 s.
    void pace() {
        const auto delays = [](bool panelOpen, qint64 interval) {
            QList<qint64> seconds;
            for (int failures = 0; failures <= 6; ++failures)
                seconds.append(PollPace::delay(panelOpen, interval, failures).count());
            return seconds;
        };
        QCOMPARE(delays(false, 60), (QList<qint64>{60, 120, 240, 300, 300, 300, 300}));
        QCOMPARE(delays(true, 60), (QList<qint64>{15, 30, 60, 120, 240, 300, 300}));
        QCOMPARE(delays(false, 600), (QList<qint64>{600, 300, 300, 300, 300, 300, 300}));
        // A stored interval of zero would poll without pause.
        QCOMPARE(PollPace::delay(false, 0, 0).count(), 1);
    }

    void lateAnswersGiveWay() {
        ModelRig rig({unitJson("a", "Hall", true)});
        AppModel& model = rig.startPolling();
        rig.listingAnswers = {held(rig)};
        rig.clock.advance(60s);
        QVERIFY(rig.service.waitForRequests(2));
        model.restartPolling(); // aborts the slow request and asks again
        QVERIFY(rig.waitForSleeps({60'000}) && rig.listings().size() == 3);
        QVERIFY(QTest::qWaitFor([&] { return rig.service.abandonedRequests().size() == 1; }));

        // An answer on its way when the user signs out is dropped.
        rig.listingAnswers = {held(rig)};
        rig.clock.advance(1s);
        const auto refreshed = [&]() -> QCoro::Task<> { co_await ModelBackstage::refresh(model); };
        auto refresh = refreshed();
        QVERIFY(rig.service.waitForRequests(4));
        model.account().signOut();
        rig.service.release();
        QVERIFY(QTest::qWaitFor([&] { return refresh.isReady(); }) && model.pods().isEmpty() &&
                !model.lastUpdated() && model.status().kind == AppModel::Status::needsKey);
    }

    // Back-off and recovery for every fault are in faultsAreToldAndLoseNothing, the pace in pace().
    // A throw outside the client counts as a failure too; a wake forgets the failures and lists
    // at once.
    void loopOutlivesAnyFaultAndWakeForgetsFailures() {
        ModelRig rig({unitJson("a", "Hall", true)});
        AppModel& model = rig.start();
        // Something outside the client throws in the middle of the first refresh.
        QObject::connect(&model, &AppModel::podsChanged, [thrown = false]() mutable {
            if (!std::exchange(thrown, true))
                throw std::runtime_error("out of order");
        });
        LogWatch log;
        QVERIFY(rig.waitForSleeps({120'000}));
        QCOMPARE(log.newLines(), QStringList{"refresh failed (1): out of order"});
        rig.listingAnswers = {errorAnswer, errorAnswer};
        QVERIFY(rig.poll(120s, 240'000));
        const qsizetype before = rig.listings().size();
        model.setAwake(true);
        QVERIFY(QTest::qWaitFor([&] { return rig.listings().size() == before + 1; }));
        QVERIFY(rig.waitForSleeps({120'000}));
        QVERIFY(rig.poll(120s) && model.status().kind == AppModel::Status::ready);
    }

    // The client's tests word every failed status (a reason the service gives too) and
    // undecodable answer, and bound large ones; here one of each kind reaches the model.
    void faultsAreToldAndLoseNothing_data() {
        QTest::addColumn<Response>("answer");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("text");
        const QByteArray listing = envelope(QJsonArray{unitJson("a", "Hall", true)});
        QTest::newRow("401") << Response::json("{}", 401) << Kind::needsKey << QString();
        QTest::newRow("403") << Response::json("{}", 403) << Kind::needsKey << QString();
        QTest::newRow("500") << Response::json("<html>oops</html>", 500) << Kind::offline
                             << "Sensibo returned an error (HTTP 500).";
        QTest::newRow("200, wrong shape")
            << Response::json(envelope(QJsonObject{{"id", "a"}})) << Kind::offline << unreadable;
        QTest::newRow("cut off half-way")
            << Response{.body = listing, .headers = {}, .closeMidAnswer = true} << Kind::offline
            << "This computer is offline.";
        QTest::newRow("connection reset")
            << Response{.body = {}, .headers = {}, .resetConnection = true} << Kind::offline
            << "This computer is offline.";
        QTest::newRow("no answer in time")
            << Response{.body = envelope(QJsonArray()), .headers = {}, .delay = 10s}
            << Kind::offline << "Sensibo didn't answer in time.";
    }

    // Whatever the service or the network does to a refresh, the app says what happened, keeps
    // polling at its back-off pace (unless the key was refused) and loses neither the key nor any
    // stored data.
    void faultsAreToldAndLoseNothing() {
        QFETCH(Response, answer);
        QFETCH(Kind, kind);
        QFETCH(QString, text);
        ModelRig rig({unitJson("a", "Hall", true)});
        // Short only where the wait itself is tested, so a busy machine cannot turn the other
        // faults into a timeout.
        if (answer.delay > 0ms)
            rig.clientTimeout = 500ms;
        Preset::save({{QUuid::createUuid(), "a", "Evening", {}}}, rig.settings.store());
        Settings{QStringLiteral("a"), "F", 60, false}.save(rig.settings.store());
        AppModel& model = rig.startPolling();
        const std::optional<QString> key = rig.keys.storedKey();
        const QMap<QString, QVariant> stored = contents(rig.settings.store());
        QCOMPARE(model.presets().all().size(), 1);

        // Qt sends a request again once when a reused connection fails before any answer.
        rig.listingAnswers = QList<Response>(8, answer);
        const LogWatch log;
        rig.clock.advance(60s);
        if (kind == Kind::needsKey) {
            QVERIFY(QTest::qWaitFor([&] { return model.status().kind == Kind::needsKey; }));
            QCOMPARE(log.newLines(), QStringList{"refresh: key refused"});
            // No request of any kind uses the refused key: not after time, the panel (which reads
            // timers), a wake, a new interval, a chart, a change or a timer.
            const qsizetype requests = rig.service.requests().size();
            const Settings settings = model.settings();
            model.setSettings({{}, "C", 120, true});
            model.setSettings(settings);
            model.loadHistory("a");
            model.togglePower("a");
            model.features().setTimer("a", 30, false);
            QVERIFY(rig.staysQuiet(requests) && rig.clock.pendingSleeps().isEmpty());
        } else {
            QVERIFY(rig.waitForSleeps({120'000}));
            QCOMPARE(std::pair(model.status().kind, model.status().text), std::pair(kind, text));
            QVERIFY(log.newLines().contains("refresh failed (1): " + text));
            QVERIFY(rig.poll(120s, 240'000));
            rig.listingAnswers.clear(); // the service is back
            QVERIFY(rig.poll(240s) && model.status().kind == Kind::ready);
        }
        QVERIFY(model.pods().size() == 1 && rig.keys.storedKey() == key);
        QCOMPARE(contents(rig.settings.store()), stored);
        for (const QString& line : log.newLines())
            QVERIFY2(!line.contains(*key), qPrintable(line));
    }

    // A chart's day is read once for ten minutes, but again at once after a failure or in a new
    // session, which a failure arriving late does not stamp either.
    void historyReloadsAfterTenMinutesAFailureOrASession() {
        ModelRig rig({unitJson("a", "Bedroom", true)});
        // The history's answers in turn, the last one for good.
        rig.otherAnswers = [answers =
                                QList{heldBack(dayOf(20)), errorAnswer, dayOf(23),
                                      heldBack(errorAnswer), dayOf(24)}](const auto&) mutable {
            return answers.size() > 1 ? answers.takeFirst() : answers.first();
        };
        AppModel& model = rig.startPolling();
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
        QCOMPARE(std::pair(asked(rig), shownTemperature(model)), std::pair(qsizetype(3), 23.0));

        model.account().loadDemo();
        model.account().exitDemo();
        QVERIFY(rig.waitForSleeps({60'000}));
        QCoro::Task<> failing = model.loadHistory("a");
        QVERIFY(QTest::qWaitFor([&] { return asked(rig) == 4; }));
        model.account().loadDemo();
        model.account().exitDemo();
        rig.service.release();
        outcomeOf(std::move(failing));
        QVERIFY(rig.waitForSleeps({60'000}));
        outcomeOf(model.loadHistory("a"));
        QCOMPARE(std::pair(asked(rig), shownTemperature(model)), std::pair(qsizetype(5), 24.0));
    }
};

QTEST_GUILESS_MAIN(PollingTest)
#include "tst_polling.moc"
