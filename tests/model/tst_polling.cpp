#include "model/poll_pace.h"
#include "support/log_watch.h"
#include "support/model_rig.h"
#include "support/settle.h"

#include <QSignalSpy>

using namespace std::chrono_literals;

namespace {
LoopbackService::Response serverError() {
    return LoopbackService::Response::json(R"({"reason":"down"})", 500);
}

LoopbackService::Response held(const ModelRig& rig) {
    LoopbackService::Response response = LoopbackService::Response::json(envelope(rig.units));
    response.held = true;
    return response;
}
} // namespace

class PollingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsWithFullListingThenLightOnesAtThePace() {
        ModelRig rig({unitJson("a", "Hall", true), unitJson("b", "Office", false)});
        AppModel& model = rig.start();
        QCOMPARE(model.status().kind, AppModel::Status::loading);
        QVERIFY(rig.waitForSleeps({60'000}));
        QVERIFY(isFullListing(rig.listings().value(0)));
        QCOMPARE(model.status().kind, AppModel::Status::ready);
        QCOMPARE(model.pods().size(), 2);
        QCOMPARE(model.lastUpdated(), rig.clock.now());

        // Light listings keep the capabilities; an identical list is not published again.
        QSignalSpy podsChanged(&model, &AppModel::podsChanged);
        rig.clock.advance(59'999ms);
        QVERIFY(settle());
        QCOMPARE(rig.listings().size(), 1);
        QVERIFY(rig.poll(1ms));
        QVERIFY(!isFullListing(rig.listings().value(1)));
        QVERIFY(model.pods().first().remoteCapabilities);
        QCOMPARE(model.pods().first().productModel, QStringLiteral("skyv2"));
        QCOMPARE(podsChanged.size(), 0);

        // With the panel open the pace is 15 s from the next sleep on; data 60 s old are fetched
        // at once.
        rig.clock.advance(6s);
        model.setPanelOpen(true);
        QVERIFY(rig.waitForSleeps({15'000}));
        QCOMPARE(rig.listings().size(), 3);
        model.setPanelOpen(false);
        QVERIFY(rig.poll(15s));
        QCOMPARE(rig.listings().size(), 4);
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

        rig.units.append(unitJson("b", "Office", false));
        QVERIFY(rig.poll());
        QCOMPARE(rig.listings().size(), 64);
        QVERIFY(!isFullListing(rig.listings()[62]) && isFullListing(rig.listings()[63]));
        QCOMPARE(model.pods().value(1).productModel, QStringLiteral("skyv2"));
        QVERIFY(rig.poll()); // light again, and both units keep their capabilities
        QVERIFY(!isFullListing(rig.listings().last()));
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

    // Back-off and recovery for every fault are in the fault matrix, the pace in pace(). A wake
    // forgets the failures and lists at once.
    void wakeForgetsFailures() {
        ModelRig rig({unitJson("a", "Hall", true)});
        AppModel& model = rig.startPolling();
        rig.listingAnswers = {serverError(), serverError(), serverError()};
        QVERIFY(rig.poll(60s, 120'000));
        QVERIFY(rig.poll(120s, 240'000));
        const qsizetype before = rig.listings().size();
        model.setAwake(true);
        QVERIFY(QTest::qWaitFor([&] { return rig.listings().size() == before + 1; }));
        QVERIFY(rig.waitForSleeps({120'000}));
    }

    void lateAnswersGiveWay() {
        ModelRig rig({unitJson("a", "Hall", true)});
        AppModel& model = rig.startPolling();
        rig.listingAnswers = {held(rig)};
        rig.clock.advance(60s);
        QVERIFY(rig.service.waitForRequests(2));
        model.restartPolling(); // aborts the slow request and asks again
        QVERIFY(rig.waitForSleeps({60'000}));
        QCOMPARE(rig.listings().size(), 3);
        QVERIFY(QTest::qWaitFor([&] { return rig.service.abandonedRequests().size() == 1; }));

        // An answer on its way when the user signs out is dropped.
        rig.listingAnswers = {held(rig)};
        rig.clock.advance(1s);
        const auto refreshed = [&]() -> QCoro::Task<> { co_await ModelBackstage::refresh(model); };
        auto refresh = refreshed();
        QVERIFY(rig.service.waitForRequests(4));
        model.account().signOut();
        rig.service.release();
        QVERIFY(QTest::qWaitFor([&] { return refresh.isReady(); }));
        QCOMPARE(model.pods(), QList<Pod>{});
        QCOMPARE(model.status().kind, AppModel::Status::needsKey);
        QCOMPARE(model.lastUpdated(), std::nullopt);
    }

    void loopOutlivesAnyFault() {
        ModelRig rig({unitJson("a", "Hall", true)});
        AppModel& model = rig.start();
        // Something outside the client throws in the middle of the first refresh.
        QObject::connect(&model, &AppModel::podsChanged, [thrown = false]() mutable {
            if (!std::exchange(thrown, true))
                throw std::runtime_error("out of order");
        });
        LogWatch log;
        QVERIFY(rig.waitForSleeps({120'000})); // counted as a failure
        QCOMPARE(log.newLines(), QStringList{"refresh failed (1): out of order"});
        QVERIFY(rig.poll(120s));
        QCOMPARE(model.status().kind, AppModel::Status::ready);
    }

    void selection() {
        ModelRig rig({unitJson("a", "Hall", true), unitJson("b", "Office", true),
                      unitJson("c", "Den", true)});
        AppModel& model = rig.startPolling();
        QCOMPARE(model.selectedID(), QStringLiteral("a"));
        model.select(3);
        model.select(0); // out of range: nothing
        model.select(4);
        QCOMPARE(model.selectedID(), QStringLiteral("c"));

        // The selected unit leaves the listing: the first one is selected; none leaves none.
        rig.units = {unitJson("b", "Office", true), unitJson("a", "Hall", true)};
        QVERIFY(rig.poll());
        QCOMPARE(model.selectedID(), QStringLiteral("b"));
        rig.units = {};
        QVERIFY(rig.poll());
        QCOMPARE(model.selectedID(), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(PollingTest)
#include "tst_polling.moc"
