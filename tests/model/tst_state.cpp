#include "support/model_rig.h"

using namespace std::chrono_literals;

class StateTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
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

    void selection() {
        ModelRig rig({unitJson("a", "Hall", true), unitJson("b", "Office", true),
                      unitJson("c", "Den", true)});
        AppModel& model = rig.startPolling();
        QCOMPARE(model.selectedID(), QStringLiteral("a"));
        model.select(3);
        QCOMPARE(model.selectedID(), QStringLiteral("c"));
        model.select(0);
        model.select(4);
        QCOMPARE(model.selectedID(), QStringLiteral("c"));

        // The selected unit leaves the listing: the first one is selected; none leaves none.
        rig.units = {unitJson("b", "Office", true), unitJson("a", "Hall", true)};
        QVERIFY(rig.poll());
        QCOMPARE(model.selectedID(), QStringLiteral("b"));
        rig.units = {};
        QVERIFY(rig.poll());
        QCOMPARE(model.selectedID(), std::nullopt);
        QCOMPARE(model.selectedPod(), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(StateTest)
#include "tst_state.moc"
