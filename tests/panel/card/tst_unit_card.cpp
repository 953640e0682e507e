#include "panel/accessibility/panel_accessibility.h"
#include "panel/animation/view_environment.h"
#include "panel/card/card_glow.h"
#include "panel/card/fan_stepper.h"
#include "panel/card/more_toggle.h"
#include "panel/card/temperature_row.h"
#include "panel/card/timer_badge.h"
#include "panel/card/unit_card.h"
#include "panel/chart/history_chart.h"
#include "panel/common/status_line.h"
#include "panel/controls/counting_figure.h"
#include "panel/controls/power_switch.h"
#include "panel/controls/round_button.h"
#include "panel/controls/small_chip.h"
#include "support/panel_rig.h"

#include <QAccessible>

using namespace std::chrono_literals;

static bool showsBody(UnitCard& card) {
    return card.findChild<TemperatureRow*>()->isVisibleTo(&card);
}

static bool showsOfflineLabel(UnitCard& card) {
    const auto labels = shownIn<CompactLabel>(card);
    return std::any_of(labels.cbegin(), labels.cend(),
                       [](auto* label) { return label->toolTip() == "Last seen 4m ago"; });
}

// A card on a started model listing `units`, shown.
struct CardRig : ModelRig {
    explicit CardRig(const QJsonArray& listed) : ModelRig(listed) {
        card = std::make_unique<UnitCard>(startPolling(), "a1", 0);
        card->show();
    }
    // Lists `listed` at the next poll.
    bool listNext(const QJsonArray& listed) {
        units = listed;
        return poll();
    }
    std::unique_ptr<UnitCard> card;
};

class UnitCardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        FrameTicker::shared()->setInstant(true);
        PanelAccessibility::install();
    }

    // The symbol and its help; empty when the card shows no progress.
    void progress() {
        const auto shown = [](const QString& mode, std::optional<double> room, bool on = true,
                              qint64 target = 22, const QString& unit = "C") {
            Pod pod;
            pod.acState = ACState{on, mode, target, unit, {}, {}, {}, {}};
            pod.measurements = Measurements{room, {}, {}, {}, {}, {}, {}};
            const auto result = UnitCard::progress(pod);
            return result ? result->symbol + ' ' + result->help : QString();
        };
        // Half a degree above the target is at it; 23 °C is 73.4 °F; nothing while off, for fan
        // mode or without a room reading.
        QCOMPARE(QStringList({shown("cool", 22.5), shown("cool", 22.6), shown("heat", 21.4),
                              shown("heat", 25.0), shown("auto", 21.0),
                              shown("cool", 23.0, true, 72, "F"), shown("cool", 30.0, false),
                              shown("fan", 30.0), shown("cool", std::nullopt)}),
                 QStringList({"checkmark At 22°", "arrow.down Cooling towards 22°",
                              "arrow.up Warming towards 22°", "checkmark At 22°",
                              "arrow.up Warming towards 22°", "arrow.down Cooling towards 72°", "",
                              "", ""}));
    }

    void fanButtons() {
        using Level = std::optional<QString>;
        // The first level, the last, one the unit does not offer, and none.
        const QList<std::tuple<Level, bool, bool, QString>> cases{
            {"auto", false, true, "Auto"},
            {"high", true, false, "High"},
            {"medium_turbo", true, true, "Medium turbo"},
            {Level(), true, true, QString(QChar(0x2013))}};
        for (const auto& [level, slower, faster, title] : cases) {
            FanStepper stepper;
            stepper.setLevel(level, {"auto", "low", "medium_high", "high"});
            for (RoundButton* button : stepper.findChildren<RoundButton*>())
                QCOMPARE(button->isEnabled(), button->systemImage() == "minus" ? slower : faster);
            QCOMPARE(FanStepper::title(level), title);
        }
    }

    // One request for the series is tst_changes' quickStepsMakeOneRequest.
    void quickStepsShowAtOnceAndStopAtTheTop() {
        CardRig rig({unitJson("a1", "Bedroom", true, 28)});
        UnitCard& card = *rig.card;
        RoundButton* warmer = named<RoundButton>(card, "Warmer");
        for (const QString expected : {"29°", "30°", "30°"}) {
            QTest::mouseClick(warmer, Qt::LeftButton);
            QCOMPARE(card.findChild<CountingNumber*>()->text(), expected);
            rig.clock.advance(200ms);
        }
        QVERIFY(!warmer->isEnabled() && named<RoundButton>(card, "Cooler")->isEnabled());
    }

    // Among several units an off unit's card folds to its title row, unless it was unfolded:
    // that is kept per unit, beyond the card.
    void collapsesAmongSeveralUnitsUnlessUnfolded() {
        CardRig cards({unitJson("a1", "Bedroom", false)});
        AppModel& model = *cards.model;
        UnitCard& off = *cards.card;
        QVERIFY(!off.isCollapsed() && showsBody(off)); // alone, an off unit's card stays open

        QVERIFY(cards.listNext({unitJson("a1", "Bedroom", false), unitJson("a2", "Study", true)}));
        UnitCard on(model, "a2", 1);
        on.show();
        QVERIFY(off.isCollapsed() && !showsBody(off) && !on.isCollapsed() && showsBody(on));
        QVERIFY(off.height() < on.height() / 3);

        auto* more = on.findChild<MoreToggle*>();
        QTest::mouseClick(more, Qt::LeftButton);
        QCOMPARE(std::tuple(more->text(), model.viewState().isExpanded("a1"),
                            UnitCard(model, "a2", 1).findChild<MoreToggle*>()->turned()),
                 std::tuple(QString("Less"), false, 1.0));
        model.viewState().setExpanded("a1", true);
        QVERIFY(!UnitCard(model, "a1", 0).isCollapsed());
        model.viewState().setExpanded("a1", false);
        QTest::mouseClick(more, Qt::LeftButton); // folded again

        // Switching the unit on unfolds its card; the press on its switch also selects it.
        model.select(2);
        QTest::mouseClick(off.findChild<PowerSwitch*>(), Qt::LeftButton);
        QVERIFY(model.selectedID() == "a1" && !off.isCollapsed() && showsBody(off) &&
                off.height() == on.height());
    }

    void titleRowFollowsUnitCount() {
        CardRig cards({offlineUnit("a1", "Bedroom")});
        UnitCard& card = *cards.card;
        const auto status = [&] { return card.findChild<StatusLine*>()->isVisibleTo(&card); };
        // Alone, the card tells of the unit in its status line.
        QVERIFY(!showsBody(card) && status());
        QCOMPARE(card.findChild<StatusLine*>()->height(),
                 card.findChild<StatusLine*>()->sizeHint().height());
        QVERIFY(named(card, "Offline · last seen 4m ago") &&
                named(card, "Room " + cards.model->settings().reading({}, 1)));

        QVERIFY(cards.listNext({offlineUnit("a1", "Bedroom"), unitJson("a2", "Study", true)}));
        QVERIFY(!status() && showsOfflineLabel(card) &&
                !card.findChild<PowerSwitch*>()->isVisibleTo(&card));

        QVERIFY(cards.listNext({offlineUnit("a1", "Bedroom")}));
        QVERIFY(status() && !showsOfflineLabel(card));

        // Only the first nine cards carry a number: the keys 1 to 9 pick them.
        QJsonArray ten;
        for (int i = 1; i <= 10; ++i)
            ten.append(unitJson(QString("a%1").arg(i), QString("Room %1").arg(i), true));
        QVERIFY(cards.listNext(ten));
        const auto badges = [&](int index) {
            UnitCard card(*cards.model, QString("a%1").arg(index + 1), index);
            QStringList tips;
            for (QWidget* widget : shownIn<QWidget>(card))
                tips << widget->toolTip();
            return tips.filter("Press ");
        };
        QVERIFY(badges(8) == QStringList{"Press 9 to pick this unit"} && badges(9).isEmpty());
    }

    // What a screen reader reads of a card, and what its actions and value do.
    void readByScreenReader() {
        QJsonObject bedroom = unitJson("a1", "Bedroom", true, 28);
        bedroom["measurements"] = QJsonObject{{"temperature", 24.6}, {"humidity", 58.2}};
        bedroom["smartMode"] = QJsonObject{{"enabled", true}};
        CardRig rig({bedroom, unitJson("a2", "Study", false)});
        UnitCard& card = *rig.card;
        const auto described = [](QWidget* widget) {
            return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Description);
        };
        QCOMPARE(std::pair(spoken(&card), described(&card)),
                 std::pair(QString("Grouping 'Bedroom'"), QString("Press 1 to pick this unit")));
        QVERIFY(!described(card.findChild<HistoryChart*>()).isEmpty());

        // The target is a spin button over the unit's range; setting its value steps there
        // (e2e.accessibility sets one within the range).
        QAccessibleValueInterface* value =
            QAccessible::queryAccessibleInterface(card.findChild<CountingNumber*>())
                ->valueInterface();
        QCOMPARE(QVariantList({value->currentValue(), value->minimumValue(), value->maximumValue(),
                               value->minimumStepSize()}),
                 QVariantList({28, 16, 30, 1}));
        value->setCurrentValue(99); // clamped to the warmest
        QCOMPARE(rig.model->pod("a1")->acState->targetTemperature, 30);

        // More unfolds; the switch is checked while on (e2e.accessibility presses it).
        auto* more = card.findChild<MoreToggle*>();
        QVERIFY2(spoken(more).endsWith(" folded"), qPrintable(spoken(more)));
        pressAloud(more);
        const QStringList read = spokenIn(card);
        for (const char* expected :
             {"StaticText '24.6 degrees'", "StaticText '58 percent'",
              "StaticText 'Climate React on'", "Button 'Cooler'", "Button 'Warmer'",
              "SpinBox 'Target temperature, Bedroom'", "CheckBox 'Power, Bedroom' checked",
              "Button 'Turn off in 30m'", "Button 'Turn off at a set time'",
              "Grouping 'Fan speed, Auto'", "Button 'Less' expanded",
              "Graphic 'Temperature history'"})
            QVERIFY2(read.contains(expected), qPrintable(read.join(", ")));
    }

    // The real listing's first unit is due for a cleaning, the second is not; the request that
    // ends the reminder is tst_changes' filterReminderEndsAtOnceAndListingsKeepItEnded.
    void filterChipEndsTheReminder() {
        ModelRig rig(realUnits());
        AppModel& model = rig.startPolling();
        UnitCard hall(model, "11AAbb22", 0), living(model, "99AAbb88", 1);
        hall.show();
        living.show();
        auto* clean = named<SmallChip>(hall, "Clean the filter, Hall");
        QVERIFY(clean && clean->title() == "Clean the filter" &&
                !named(living, "Clean the filter, Livingroom"));
        QVERIFY2(clean->toolTip().startsWith("Ran 2439 hours since the last cleaning on "),
                 qPrintable(clean->toolTip()));
        QCOMPARE(spoken(clean), "Button 'Clean the filter, Hall'");
        pressAloud(clean);
        auto* menu = clean->findChild<QMenu*>();
        QVERIFY(menu && menu->isVisible() && menuTitles(*menu) == QStringList{"Done"});
        menuEntry(*menu, "Done")->trigger();
        QVERIFY(!named(hall, "Clean the filter, Hall"));
    }

    void timerBadgeFiresOnce() {
        QJsonObject unit = unitJson("a1", "Bedroom", true);
        unit["timer"] = QJsonObject{{"isEnabled", true}, {"targetTimeSecondsFromNow", 90}};
        CardRig rig({unit});
        AppModel& model = *rig.model;
        model.setAwake(false);
        UnitCard& card = *rig.card;
        auto* badge = card.findChild<TimerBadge*>();
        QVERIFY(badge->isVisibleTo(&card));

        rig.clock.advance(30s);
        badge->tick();
        QVERIFY(model.pod("a1")->timer);
        rig.clock.advance(61s);
        badge->tick();
        badge->tick();
        QVERIFY(!model.pod("a1")->timer && !badge->isVisibleTo(&card));
        QCOMPARE(rig.clock.pendingSleeps(), QList<qint64>{5000});
    }

    // A running unit's glow stays inside its card: the corner beyond the rounded edge and the
    // selected card's outline look as they do without it.
    void glowStaysInsideTheOutline() {
        ViewEnvironment::setRenderingPreview(true);
        ModelRig rig;
        AppModel& model = rig.start(true);
        const QString id = model.selectedID().value_or(QString());
        QVERIFY(model.pod(id)->isOn());
        UnitCard card(model, id, 0);
        card.resize(card.sizeHint());
        card.show();
        const QImage lit = card.grab().toImage();
        card.findChild<CardGlow*>()->hide();
        const QImage bare = card.grab().toImage();
        ViewEnvironment::setRenderingPreview(false);
        for (const QPoint at : {QPoint(0, 0), QPoint(2, 1), QPoint(100, 0), QPoint(200, 0)})
            QCOMPARE(lit.pixel(at), bare.pixel(at));
    }
};

QTEST_MAIN(UnitCardTest)
#include "tst_unit_card.moc"
