#include "panel/animation/frame_ticker.h"
#include "panel/animation/view_environment.h"
#include "panel/card/card_glow.h"
#include "panel/card/fan_stepper.h"
#include "panel/card/more_toggle.h"
#include "panel/card/temperature_row.h"
#include "panel/card/timer_badge.h"
#include "panel/card/unit_card.h"
#include "panel/controls/compact_label.h"
#include "panel/controls/counting_figure.h"
#include "panel/controls/power_switch.h"
#include "panel/controls/round_button.h"
#include "panel/root/status_line.h"
#include "support/model_rig.h"
#include "support/settle.h"

#include <QImage>
#include <QTest>
#include <chrono>

using namespace std::chrono_literals;

namespace {

Pod podIn(const QString& mode, bool on, std::optional<qint64> target, const QString& unit,
          std::optional<double> room) {
    Pod pod;
    pod.id = "p1";
    pod.acState = ACState{on, mode, target, unit, {}, {}, {}, {}};
    pod.measurements = Measurements{room, {}, {}, {}, {}, {}, {}};
    return pod;
}

RoundButton* temperatureButton(UnitCard& card, const QString& symbol) {
    for (RoundButton* button : card.findChild<TemperatureRow*>()->findChildren<RoundButton*>())
        if (button->systemImage() == symbol)
            return button;
    return nullptr;
}

QString figure(UnitCard& card) {
    return card.findChild<CountingNumber*>()->text();
}

bool showsBody(UnitCard& card) {
    return card.findChild<TemperatureRow*>()->isVisibleTo(&card);
}

QJsonObject deadUnit(const QString& id, const QString& room) {
    QJsonObject unit = unitJson(id, room, false);
    unit["connectionStatus"] = QJsonObject{
        {"isAlive", false}, {"lastSeen", QJsonObject{{"time", "x"}, {"secondsAgo", 240}}}};
    return unit;
}

} // namespace

class UnitCardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void progress_data();
    void progress();
    void swingTitle_data();
    void swingTitle();
    void fanButtons_data();
    void fanButtons();
    void warmerAtTheTopDoesNothing();
    void quickStepsShowAtOnceAndSendOnce();
    void collapsesOnlyAmongSeveralUnits();
    void singleUnitNeverCollapses();
    void expandedIsKeptPerUnit();
    void titleRowFollowsUnitCount();
    void timerBadgeFiresOnce();
    void drawsEveryDemoUnit();
};

void UnitCardTest::initTestCase() {
    FrameTicker::shared()->setInstant(true);
}

void UnitCardTest::progress_data() {
    QTest::addColumn<Pod>("pod");
    QTest::addColumn<QString>("symbol"); // empty: no progress
    QTest::addColumn<QString>("help");
    QTest::newRow("cool, half a degree above") << podIn("cool", true, 22, "C", 22.5) << "checkmark"
                                               << "At 22°";
    QTest::newRow("cool, above") << podIn("cool", true, 22, "C", 22.6) << "arrow.down"
                                 << "Cooling towards 22°";
    QTest::newRow("cool, below") << podIn("cool", true, 22, "C", 18.0) << "checkmark"
                                 << "At 22°";
    QTest::newRow("heat, below") << podIn("heat", true, 22, "C", 21.4) << "arrow.up"
                                 << "Warming towards 22°";
    QTest::newRow("heat, above") << podIn("heat", true, 22, "C", 25.0) << "checkmark"
                                 << "At 22°";
    QTest::newRow("auto, above") << podIn("auto", true, 22, "C", 23.0) << "arrow.down"
                                 << "Cooling towards 22°";
    QTest::newRow("auto, below") << podIn("auto", true, 22, "C", 21.0) << "arrow.up"
                                 << "Warming towards 22°";
    // 22.5 °C is 72.5 °F, 23 °C is 73.4 °F.
    QTest::newRow("F, near") << podIn("cool", true, 72, "F", 22.5) << "checkmark"
                             << "At 72°";
    QTest::newRow("F, above") << podIn("cool", true, 72, "F", 23.0) << "arrow.down"
                              << "Cooling towards 72°";
    QTest::newRow("off") << podIn("cool", false, 22, "C", 30.0) << ""
                         << "";
    QTest::newRow("fan mode") << podIn("fan", true, 22, "C", 30.0) << ""
                              << "";
    QTest::newRow("no room reading") << podIn("cool", true, 22, "C", std::nullopt) << ""
                                     << "";
    QTest::newRow("no target") << podIn("cool", true, std::nullopt, "C", 30.0) << ""
                               << "";
}

void UnitCardTest::progress() {
    QFETCH(Pod, pod);
    QFETCH(QString, symbol);
    QFETCH(QString, help);
    const auto result = UnitCard::progress(pod);
    if (symbol.isEmpty()) {
        QVERIFY(!result);
        return;
    }
    QVERIFY(result);
    QCOMPARE(result->symbol, symbol);
    QCOMPARE(result->help, help);
}

void UnitCardTest::swingTitle_data() {
    QTest::addColumn<std::optional<QString>>("position");
    QTest::addColumn<QString>("title");
    QTest::newRow("absent") << std::optional<QString>() << QString(QChar(0x2013));
    QTest::newRow("stopped") << std::optional<QString>("stopped") << "Off";
    QTest::newRow("range full") << std::optional<QString>("rangeFull") << "Full";
    QTest::newRow("fixed, two words") << std::optional<QString>("fixedMiddleTop") << "Middle top";
    QTest::newRow("range") << std::optional<QString>("rangeTop") << "Range top";
    QTest::newRow("underscores") << std::optional<QString>("wide_angle") << "Wide angle";
}

void UnitCardTest::swingTitle() {
    QFETCH(std::optional<QString>, position);
    QFETCH(QString, title);
    QCOMPARE(UnitCard::swingTitle(position), title);
}

void UnitCardTest::fanButtons_data() {
    QTest::addColumn<std::optional<QString>>("level");
    QTest::addColumn<bool>("slower");
    QTest::addColumn<bool>("faster");
    QTest::addColumn<QString>("title");
    QTest::newRow("first") << std::optional<QString>("auto") << false << true << "Auto";
    QTest::newRow("between") << std::optional<QString>("medium_high") << true << true
                             << "Medium high";
    QTest::newRow("last") << std::optional<QString>("high") << true << false << "High";
    QTest::newRow("not offered") << std::optional<QString>("turbo") << true << true << "Turbo";
    QTest::newRow("absent") << std::optional<QString>() << true << true << QString(QChar(0x2013));
}

void UnitCardTest::fanButtons() {
    QFETCH(std::optional<QString>, level);
    QFETCH(bool, slower);
    QFETCH(bool, faster);
    QFETCH(QString, title);
    FanStepper stepper;
    stepper.setLevel(level, {"auto", "low", "medium_high", "high"});
    const auto buttons = stepper.findChildren<RoundButton*>();
    QCOMPARE(buttons.size(), 2);
    for (RoundButton* button : buttons)
        QCOMPARE(button->isEnabled(), button->systemImage() == "minus" ? slower : faster);
    QCOMPARE(FanStepper::title(level), title);
}

void UnitCardTest::warmerAtTheTopDoesNothing() {
    ModelRig rig;
    rig.units = QJsonArray{unitJson("a1", "Bedroom", true, 30)};
    AppModel& model = rig.startPolling();
    UnitCard card(model, "a1", 0);
    card.show();
    RoundButton* warmer = temperatureButton(card, "plus");
    QVERIFY(warmer);
    QVERIFY(!warmer->isEnabled());
    QVERIFY(temperatureButton(card, "minus")->isEnabled());
    QTest::mouseClick(warmer, Qt::LeftButton);
    rig.clock.advance(1s);
    QVERIFY(settle());
    QCOMPARE(model.pod("a1")->acState->targetTemperature, 30);
    QVERIFY(rig.service.requests("POST", statePath("a1")).isEmpty());
}

void UnitCardTest::quickStepsShowAtOnceAndSendOnce() {
    ModelRig rig;
    rig.units = QJsonArray{unitJson("a1", "Bedroom", true, 22)};
    AppModel& model = rig.startPolling();
    UnitCard card(model, "a1", 0);
    card.show();
    RoundButton* warmer = temperatureButton(card, "plus");
    for (const QString expected : {"23°", "24°", "25°"}) {
        QTest::mouseClick(warmer, Qt::LeftButton);
        QCOMPARE(figure(card), expected);
        rig.clock.advance(200ms);
    }
    QVERIFY(rig.service.requests("POST", statePath("a1")).isEmpty());
    rig.clock.advance(400ms);
    QVERIFY(QTest::qWaitFor(
        [&] { return !rig.service.requests("POST", statePath("a1")).isEmpty(); }, 5000));
    const auto posts = rig.service.requests("POST", statePath("a1"));
    QCOMPARE(posts.size(), 1);
    QVERIFY(posts[0].body.contains("\"targetTemperature\":25"));
}

void UnitCardTest::collapsesOnlyAmongSeveralUnits() {
    ModelRig rig;
    rig.units = QJsonArray{unitJson("a1", "Bedroom", false), unitJson("a2", "Study", true),
                           deadUnit("a3", "Attic")};
    AppModel& model = rig.startPolling();
    UnitCard off(model, "a1", 0);
    UnitCard on(model, "a2", 1);
    UnitCard dead(model, "a3", 2);
    for (UnitCard* card : {&off, &on, &dead})
        card->show();

    QVERIFY(off.isCollapsed());
    QVERIFY(!showsBody(off));
    QVERIFY(!on.isCollapsed());
    QVERIFY(showsBody(on));
    QVERIFY(off.height() < on.height() / 3);
    QVERIFY(!showsBody(dead));
    bool offlineShown = false;
    for (CompactLabel* label : dead.findChildren<CompactLabel*>())
        offlineShown |= label->isVisibleTo(&dead) && label->toolTip() == "Last seen 4m ago";
    QVERIFY(offlineShown);
    QVERIFY(!dead.findChild<PowerSwitch*>()->isVisibleTo(&dead));

    // Switching the unit on unfolds its card; the press on its switch also selects it.
    model.select(2);
    QTest::mouseClick(off.findChild<PowerSwitch*>(), Qt::LeftButton);
    QCOMPARE(model.selectedID(), "a1");
    QVERIFY(!off.isCollapsed());
    QVERIFY(showsBody(off));
    QCOMPARE(off.height(), on.height());
}

void UnitCardTest::singleUnitNeverCollapses() {
    {
        ModelRig rig;
        rig.units = QJsonArray{unitJson("a1", "Bedroom", false)};
        AppModel& model = rig.startPolling();
        UnitCard card(model, "a1", 0);
        card.show();
        QVERIFY(!card.isCollapsed());
        QVERIFY(showsBody(card));
        QCOMPARE(card.sizeHint().width(), 380);
        const StatusLine* status = card.findChild<StatusLine*>();
        QVERIFY(status->isVisibleTo(&card));
        QCOMPARE(status->height(), status->sizeHint().height());
    }
    ModelRig rig;
    rig.units = QJsonArray{deadUnit("a1", "Bedroom")};
    AppModel& model = rig.startPolling();
    UnitCard card(model, "a1", 0);
    card.show();
    QVERIFY(!showsBody(card));
    QStringList shown;
    for (QWidget* widget : card.findChildren<QWidget*>())
        if (widget->isVisibleTo(&card) && !widget->accessibleName().isEmpty())
            shown << widget->accessibleName();
    QVERIFY2(shown.contains("Offline · last seen 4m ago"), qPrintable(shown.join(", ")));
    QVERIFY(shown.contains("Room " + model.settings().reading({}, 1)));
}

void UnitCardTest::expandedIsKeptPerUnit() {
    ModelRig rig;
    rig.units = QJsonArray{unitJson("a1", "Bedroom", true), unitJson("a2", "Study", false)};
    AppModel& model = rig.startPolling();
    {
        UnitCard card(model, "a1", 0);
        card.show();
        const int folded = card.height();
        QCOMPARE(card.findChild<MoreToggle*>()->turned(), 0.0);
        QTest::mouseClick(card.findChild<MoreToggle*>(), Qt::LeftButton);
        QCOMPARE(card.findChild<MoreToggle*>()->text(), "Less");
        QCOMPARE(card.findChild<MoreToggle*>()->turned(), 1.0); // the chevron turned with it
        QVERIFY(card.height() >= folded);
    }
    QCOMPARE(model.store().value("expanded.a1").toBool(), true);
    QVERIFY(!model.store().contains("expanded.a2"));

    UnitCard again(model, "a1", 0);
    QCOMPARE(again.findChild<MoreToggle*>()->text(), "Less");
    QCOMPARE(again.findChild<MoreToggle*>()->turned(), 1.0);
    // An expanded card stays open while its unit is off.
    model.store().setValue("expanded.a2", true);
    UnitCard off(model, "a2", 1);
    QVERIFY(!off.isCollapsed());
}

void UnitCardTest::titleRowFollowsUnitCount() {
    ModelRig rig;
    rig.units = QJsonArray{deadUnit("a1", "Bedroom")};
    AppModel& model = rig.startPolling();
    UnitCard card(model, "a1", 0);
    card.show();
    const auto visible = [&card](auto* widget) { return widget->isVisibleTo(&card); };
    const auto offlineLabelShown = [&] {
        const auto labels = card.findChildren<CompactLabel*>();
        return std::any_of(labels.cbegin(), labels.cend(), [&](CompactLabel* label) {
            return visible(label) && label->toolTip() == "Last seen 4m ago";
        });
    };
    const auto listNext = [&](const QJsonArray& units) {
        rig.units = units;
        rig.clock.advance(60s);
        QVERIFY(rig.waitForSleeps({60'000}));
    };
    QVERIFY(visible(card.findChild<StatusLine*>()));

    listNext({deadUnit("a1", "Bedroom"), unitJson("a2", "Study", true)});
    QCOMPARE(model.pods().size(), 2);
    QVERIFY(!visible(card.findChild<StatusLine*>()));
    QVERIFY(!visible(card.findChild<PowerSwitch*>()));
    QVERIFY(offlineLabelShown());

    listNext({deadUnit("a1", "Bedroom")});
    QVERIFY(visible(card.findChild<StatusLine*>()));
    QVERIFY(!offlineLabelShown());
}

void UnitCardTest::timerBadgeFiresOnce() {
    ModelRig rig;
    QJsonObject unit = unitJson("a1", "Bedroom", true);
    unit["timer"] = QJsonObject{{"isEnabled", true}, {"targetTimeSecondsFromNow", 90}};
    rig.units = QJsonArray{unit};
    AppModel& model = rig.startPolling();
    model.stopPolling();
    UnitCard card(model, "a1", 0);
    card.show();
    auto* badge = card.findChild<TimerBadge*>();
    QVERIFY(badge->isVisibleTo(&card));

    rig.clock.advance(30s);
    badge->tick();
    QVERIFY(model.pod("a1")->timer);
    rig.clock.advance(61s);
    badge->tick();
    badge->tick();
    QVERIFY(!model.pod("a1")->timer);
    QVERIFY(!badge->isVisibleTo(&card));
    QCOMPARE(rig.clock.pendingSleeps(), QList<qint64>{5000});
}

void UnitCardTest::drawsEveryDemoUnit() {
    ViewEnvironment::setRenderingPreview(true);
    ModelRig rig;
    AppModel& model = rig.start(true);
    QCOMPARE(model.pods().size(), 3);
    int outlined = 0;
    for (int i = 0; i < 3; ++i) {
        UnitCard card(model, model.pods()[i].id, i);
        card.resize(card.sizeHint());
        card.show();
        QCOMPARE(card.width(), 356);
        const QImage image = card.grab().toImage();
        QCOMPARE(image.width(), 356);
        int lit = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                lit += qGray(image.pixel(x, y)) > 140;
        QVERIFY2(lit > 20, qPrintable(model.pods()[i].id));

        // The glow stays inside the selected card's outline: the top row and the corner outside
        // the rounded edge are as they are without it.
        if (model.pods()[i].id != model.selectedID() || !model.pods()[i].isOn())
            continue;
        ++outlined;
        card.findChild<CardGlow*>()->hide();
        const QImage bare = card.grab().toImage();
        for (const QPoint at : {QPoint(0, 0), QPoint(2, 1), QPoint(100, 0), QPoint(200, 0)})
            QCOMPARE(image.pixel(at), bare.pixel(at));
    }
    QCOMPARE(outlined, 1);
    ViewEnvironment::setRenderingPreview(false);
}

QTEST_MAIN(UnitCardTest)
#include "tst_unit_card.moc"
