#include "model_rig.h"

#include <QSignalSpy>

using namespace std::chrono_literals;

class StateTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void selection();
    void derivedUnits();
    void bannerLivesSixSecondsFromTheNewestMessage();
    void timersInTheMerge();
};

void StateTest::selection() {
    ModelRig rig;
    rig.units = {unitJson("a", "Hall", true), unitJson("b", "Office", true),
                 unitJson("c", "Den", true)};
    AppModel& model = rig.startPolling();
    QCOMPARE(model.selectedID(), QStringLiteral("a"));
    model.select(3);
    QCOMPARE(model.selectedID(), QStringLiteral("c"));
    model.select(0);
    model.select(4);
    QCOMPARE(model.selectedID(), QStringLiteral("c"));

    // The selected unit leaves the listing: the first one is selected; none leaves none.
    rig.units = {unitJson("b", "Office", true), unitJson("a", "Hall", true)};
    rig.clock.advance(60s);
    QVERIFY(rig.waitForSleeps({60'000}));
    QCOMPARE(model.selectedID(), QStringLiteral("b"));
    rig.units = {};
    rig.clock.advance(60s);
    QVERIFY(rig.waitForSleeps({60'000}));
    QCOMPARE(model.selectedID(), std::nullopt);
    QCOMPARE(model.selectedPod(), std::nullopt);
}

void StateTest::derivedUnits() {
    ModelRig rig;
    AppModel& model = rig.start(true);
    QCOMPARE(model.pod(std::nullopt), std::nullopt);
    QCOMPARE(model.pod("nope"), std::nullopt);
    QCOMPARE(model.pod("demo2")->room->name, QStringLiteral("Office"));
    model.select(2);
    QCOMPARE(model.selectedPod()->id, QStringLiteral("demo2"));
    QCOMPARE(model.menuBarPod()->id, QStringLiteral("demo1"));
    model.setSettings({QStringLiteral("demo3"), "C", 60, true});
    QCOMPARE(model.menuBarPod()->id, QStringLiteral("demo3"));
    model.setSettings({QStringLiteral("gone"), "C", 60, true});
    QCOMPARE(model.menuBarPod()->id, QStringLiteral("demo1"));
}

void StateTest::bannerLivesSixSecondsFromTheNewestMessage() {
    ModelRig rig;
    AppModel& model = rig.start(true);
    QSignalSpy changed(&model, &AppModel::bannerChanged);
    model.show("first");
    rig.clock.advance(4s);
    model.show("second");
    rig.clock.advance(2s); // the first message's six seconds are over
    QCOMPARE(model.banner(), QStringLiteral("second"));
    rig.clock.advance(3999ms);
    QCOMPARE(model.banner(), QStringLiteral("second"));
    rig.clock.advance(1ms);
    QCOMPARE(model.banner(), std::nullopt);
    QCOMPARE(changed.size(), 3);

    model.show("third");
    model.clearBanner(); // tapped away
    rig.clock.advance(6s);
    QCOMPARE(model.banner(), std::nullopt);
}

void StateTest::timersInTheMerge() {
    ModelRig rig;
    QJsonObject withTimer = unitJson("a", "Hall", true);
    withTimer.insert("timer", QJsonObject{{"isEnabled", true},
                                          {"acState", QJsonObject{{"on", false}}},
                                          {"targetTimeSecondsFromNow", 90}});
    QJsonObject disabled = unitJson("b", "Office", true);
    disabled.insert("timer", QJsonObject{{"isEnabled", false}, {"targetTimeSecondsFromNow", 900}});
    rig.units = {withTimer, disabled};
    AppModel& model = rig.startPolling();
    QCOMPARE(model.pod("a")->timer->fireDate, rig.clock.now().addSecs(90));
    QCOMPARE(model.pod("b")->timer, std::nullopt);

    // A pending timer the listing leaves out stays until it has fired.
    rig.units = {unitJson("a", "Hall", true), disabled};
    rig.clock.advance(60s);
    QVERIFY(rig.waitForSleeps({60'000}));
    QVERIFY(model.pod("a")->timer);
    rig.clock.advance(60s);
    QVERIFY(rig.waitForSleeps({60'000}));
    QCOMPARE(model.pod("a")->timer, std::nullopt);
}

QTEST_GUILESS_MAIN(StateTest)
#include "tst_state.moc"
