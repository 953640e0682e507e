#include "panel/accessibility/panel_accessibility.h"
#include "panel/card/advanced_section.h"
#include "panel/controls/power_switch.h"
#include "panel/controls/small_chip.h"
#include "panel/dropdown/dropdown_trigger.h"
#include "support/panel_rig.h"
#include "support/settle.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTimeEdit>

const QString timerPath = QStringLiteral("/api/v1/pods/%1/timer/");

// The fold-out of one unit, shown as its own window.
struct Section {
    Section(AppModel& model, const QString& id) : widget(model, id) {
        widget.resize(330, widget.sizeHint().height());
        widget.show();
        requireSetUp(QTest::qWaitForWindowExposed(&widget), "the section was not shown");
    }

    // The shown chip with this label or, for a chip without one, this tooltip.
    SmallChip* chip(const QString& name) const {
        for (SmallChip* chip : widget.findChildren<SmallChip*>())
            if (chip->isVisible() && (chip->title() == name || chip->toolTip() == name))
                return chip;
        return nullptr;
    }

    // Clicks the chip; false when there is none.
    bool click(const QString& name) const {
        SmallChip* found = chip(name);
        return found && (QTest::mouseClick(found, Qt::LeftButton), true);
    }

    AdvancedSection widget;
};

// One unit, switched as `on`, on a service that accepts timers.
static AppModel& timerUnit(ModelRig& rig, bool on) {
    rig.units = QJsonArray{unitJson("a1", "Bedroom", on)};
    for (const char* method : {"PUT", "DELETE"})
        rig.service.on(method, timerPath.arg("a1"), LoopbackService::Response::json(envelope({})));
    return rig.startPolling();
}

class AdvancedSectionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // a 12-hour clock
        FrameTicker::shared()->setInstant(true);
        PanelAccessibility::install();
    }

    void timerChipsSetTheOppositePower() {
        for (const bool on : {true, false}) {
            ModelRig rig;
            AppModel& model = timerUnit(rig, on);
            Section section(model, "a1");
            QCOMPARE(section.chip("1h")->toolTip(), on ? "Turn off in 1h" : "Turn on in 1h");
            QVERIFY(section.click("1h"));
            const std::optional<PodTimer> timer = model.pod("a1")->timer;
            QVERIFY(timer && timer->acState && timer->acState->on == !on);
            QCOMPARE(timer->fireDate, model.now().addSecs(3600));

            // The running timer replaces the duration chips until it is cancelled.
            QVERIFY(!section.chip("1h") &&
                    named<QLabel>(section.widget, on ? "Off in 1:00:00" : "On in 1:00:00"));
            QVERIFY(section.click("Cancel the timer") && !model.pod("a1")->timer &&
                    section.chip("1h"));
        }
    }

    void timerEditorSetsATimeOfDay() {
        ModelRig rig;
        AppModel& model = timerUnit(rig, false);
        Section section(model, "a1");
        QSignalSpy editorChanged(&section.widget, &AdvancedSection::editorChanged);
        const int folded = section.widget.sizeHint().height();

        QVERIFY(section.click("At a set time") && section.widget.sizeHint().height() > folded);
        auto* time = section.widget.findChild<QTimeEdit*>();
        // The clock is the locale's: 12-hour here.
        QVERIFY2(time->displayFormat().contains(u'A', Qt::CaseInsensitive),
                 qPrintable(time->displayFormat()));
        time->setTime(model.now().toLocalTime().addSecs(7200).time());
        QVERIFY(section.click("Save"));

        QVERIFY(!section.widget.hasEditor() && section.widget.sizeHint().height() == folded);
        QCOMPARE(editorChanged.size(), 2);
        const std::optional<PodTimer> timer = model.pod("a1")->timer;
        QVERIFY(timer && timer->acState && timer->acState->on);
        QCOMPARE(timer->fireDate, model.now().addSecs(7200));

        // The editor's drawer springs open and shut.
        FrameTicker& ticker = *FrameTicker::shared();
        ticker.setInstant(false);
        const auto instantAgain = qScopeGuard([&] { ticker.setInstant(true); });
        QWidget* drawer = time->parentWidget();
        const int full = drawer->layout()->sizeHint().height();
        QVERIFY(section.click("Cancel the timer") && section.click("At a set time"));
        QVERIFY(drawer->isVisible() && drawer->maximumHeight() < full / 2);
        ticker.advance(1);
        QCOMPARE(drawer->maximumHeight(), full);
        QVERIFY(section.click("Cancel") && drawer->isVisible()); // still shrinking away
        ticker.advance(1);
        QVERIFY(!drawer->isVisible());
    }

    void presetChipsEditorAndClimateReactRow() {
        ModelRig rig;
        AppModel& model = rig.start(true);
        model.presets().save("Chill", *model.pod("demo1"));
        model.step("demo1", 2);
        Section section(model, "demo1");
        QVERIFY(section.chip("Chill") && !section.chip("Chill")->isSelected());

        // The click changes the active preset, which rebuilds the row the chip sits in.
        QVERIFY(section.click("Chill") && model.pod("demo1")->acState->targetTemperature == 22);
        SmallChip* selected = section.chip("Chill");
        QVERIFY(selected && selected->isSelected());
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, selected->rect().center(),
                                     selected->mapToGlobal(selected->rect().center()));
        QApplication::sendEvent(selected, &rightClick);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QCOMPARE(menu->actions().size(), 1);
        menu->actions().first()->trigger();
        menu->close();
        QVERIFY(model.presets().of("demo1").isEmpty() && !section.chip("Chill"));
        QVERIFY(section.chip("Save the current settings as a preset"));

        // The editor saves on Return. The office has no timer, so the only Cancel chip is the
        // editor's.
        Section office(model, "demo2");
        QSignalSpy editorChanged(&office.widget, &AdvancedSection::editorChanged);
        QVERIFY(office.click("Save the current settings as a preset") && office.widget.hasEditor());
        auto* name = office.widget.findChild<QLineEdit*>();
        QTest::keyClicks(name, "Evening");
        QTest::keyClick(name, Qt::Key_Return);
        QVERIFY(!office.widget.hasEditor() && office.chip("Evening") && editorChanged.size() == 2);

        // Opened again, the field starts empty; Cancel saves nothing.
        QVERIFY(office.click("Save the current settings as a preset") && name->text().isEmpty());
        QVERIFY(office.click("Cancel") && !office.widget.hasEditor());
        QCOMPARE(model.presets().of("demo2").size(), 1);

        // The Climate React row shows for a unit with a rule, says the rule in the user's unit,
        // and its switch is a check box for screen readers.
        QVERIFY(shownIn<PowerSwitch>(office.widget).isEmpty());
        auto* react = section.widget.findChild<PowerSwitch*>();
        QCOMPARE(std::tuple(react->isVisible(), react->toolTip(), spoken(react)),
                 std::tuple(true, QString("Keeps Bedroom between 15° and 29° by feel"),
                            QString("CheckBox 'Climate React, Bedroom' checked")));
        QTest::mouseClick(react, Qt::LeftButton);
        QCOMPARE(model.pod("demo1")->smartMode->enabled, false);
        QCOMPARE(spoken(react), "CheckBox 'Climate React, Bedroom'");

        model.setSettings({.menuBarPodID = {}, .unit = "F"});
        QCOMPARE(react->toolTip(), "Keeps Bedroom between 59° and 84° by feel"); // 84.2 °F

        Pod pod = *model.pod("demo1");
        pod.smartMode = ClimateReact{true, "humidity", 40.4, {}, {}, {}};
        QCOMPARE(AdvancedSection::climateReactRule(pod, "C"), "Keeps Bedroom above 40% humidity");
        pod.smartMode = ClimateReact{true, "temperature", 17.25, 26, {}, {}};
        QCOMPARE(AdvancedSection::climateReactRule(pod, "C"),
                 "Keeps Bedroom between 17.3° and 26°");
    }

    // The captured listing's Hall offers sideways swing and a light with two settings; each
    // choice sends the whole state once, and a refused one takes the chip back. Its airflow
    // trigger opens the unit's own dropdown.
    void airflowSidewaysAndLightFromTheRealListing() {
        QJsonArray units = realUnits();
        QJsonObject hall = units[0].toObject();
        QJsonObject state = hall["acState"].toObject();
        state["on"] = true; // the captured units are off, and settings of a unit off are held
        hall["acState"] = state;
        units[0] = hall;
        ModelRig rig(units);
        bool refuse = false;
        rig.otherAnswers = [&refuse](const LoopbackService::Request& request) {
            const QJsonObject sent = QJsonDocument::fromJson(request.body).object();
            return std::optional(refuse ? LoopbackService::Response::json("{}", 500)
                                        : LoopbackService::Response::json(envelope(sent)));
        };
        const auto sent = [&] {
            return rig.service.requests("POST", statePath("11AAbb22")).size();
        };
        AppModel& model = rig.startPolling();
        Section section(model, "11AAbb22");
        const auto opened = [&](int trigger) {
            QTest::mouseClick(section.widget.findChildren<DropdownTrigger*>().value(trigger),
                              Qt::LeftButton);
            const Dropdown open = model.picker().shown().value_or(Dropdown());
            return open.id + ' ' + open.name + ' ' + open.selected.value_or("-");
        };
        QCOMPARE(opened(0), "airflow.11AAbb22 Airflow stopped");
        model.picker().close();
        auto* sideways = section.widget.findChildren<DropdownTrigger*>().value(1);
        QVERIFY(sideways && sideways->isVisible() && sideways->label() == "Hold");

        QVERIFY(opened(1).startsWith("sideways.11AAbb22 Sideways "));
        model.picker().highlight(2); // Swing, Swing center | Left
        model.picker().pickHighlighted();
        QVERIFY(settle() && sent() == 1);
        state["horizontalSwing"] = "fixedLeft";
        state.remove("timestamp");
        QVERIFY(rig.sentState("11AAbb22") == state && sideways->label() == "Left");

        QVERIFY(section.chip("On")->isSelected() && !section.chip("Dim"));
        QCOMPARE(spoken(section.chip("Off")), "RadioButton 'Light off'");
        QVERIFY(section.click("Off") && settle() && sent() == 2);
        state["light"] = "off";
        QCOMPARE(rig.sentState("11AAbb22", 1), state);
        QCOMPARE(spoken(section.chip("Off")), "RadioButton 'Light off' checked");
        QVERIFY(!section.chip("On")->isSelected());

        refuse = true;
        QVERIFY(section.click("On") && section.chip("On")->isSelected());
        QVERIFY(settle() && model.banner());
        QVERIFY(section.chip("Off")->isSelected() && !section.chip("On")->isSelected());
        QCOMPARE(sent(), 3);

        // The living room's unit has a light of three settings and no sideways swing.
        Section livingRoom(model, "99AAbb88");
        QVERIFY(!shownIn<DropdownTrigger>(livingRoom.widget).value(1));
        QVERIFY(livingRoom.chip("Dim") && livingRoom.chip("On")->isSelected());
    }
};

QTEST_MAIN(AdvancedSectionTest)
#include "tst_advanced_section.moc"
