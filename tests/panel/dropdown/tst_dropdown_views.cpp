#include "model/dropdown_builders.h"
#include "panel/accessibility/panel_accessibility.h"
#include "panel/dropdown/dropdown_card.h"
#include "panel/dropdown/dropdown_layer.h"
#include "panel/dropdown/dropdown_trigger.h"
#include "support/panel_rig.h"

// A panel holding two triggers, one per demo unit, under the dropdown layer.
struct Panel {
    Panel() {
        window.resize(380, 600);
        mode = trigger("demo1", QPoint(40, 40), Dropdowns::mode);
        airflow = trigger("demo2", QPoint(200, 500), Dropdowns::airflow);
        layer = new DropdownLayer(model, &window);
        window.show();
        requireSetUp(QTest::qWaitForWindowExposed(&window), "the panel was not shown");
    }

    DropdownTrigger* trigger(const QString& id, QPoint at,
                             Dropdown (*build)(AppModel&, const Pod&, const QRectF&)) {
        auto* made = new DropdownTrigger(
            model, (build == Dropdowns::mode ? "mode." : "airflow.") + id, "help",
            [this, id, build](const QRectF& frame) { return build(model, *model.pod(id), frame); },
            &window);
        made->setLabel(Dropdown::Option::Symbol{"snowflake"}, "Cool");
        made->setGeometry(QRect(at, made->sizeHint()));
        return made;
    }

    DropdownCard* card() const { return layer->findChild<DropdownCard*>(); }

    ModelRig rig;
    AppModel& model = rig.start(true);
    QWidget window;
    DropdownTrigger* mode;
    DropdownTrigger* airflow;
    DropdownLayer* layer;
};

class DropdownViewsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        FrameTicker::shared()->setInstant(true);
        PanelAccessibility::install();
    }

    void triggersOpenSwitchCloseAndRowsPick() {
        Panel panel;
        AppModel& model = panel.model;

        QTest::mouseClick(panel.mode, Qt::LeftButton);
        QCOMPARE(
            std::pair(model.picker().shown()->id, model.picker().shown()->anchor),
            std::pair(QString("mode.demo1"), QRectF(QPointF(40, 40), QSizeF(panel.mode->size()))));
        QVERIFY(panel.mode->isOpen() && !panel.airflow->isOpen());

        // The scrim lies over the triggers now: a click there reaches them through it.
        const auto clickThroughScrim = [&](DropdownTrigger* trigger) {
            QTest::mouseClick(panel.layer, Qt::LeftButton, {},
                              panel.layer->mapFrom(&panel.window, trigger->geometry().center()));
        };
        clickThroughScrim(panel.mode);
        QVERIFY(!model.picker().shown());

        QTest::mouseClick(panel.mode, Qt::LeftButton);
        clickThroughScrim(panel.airflow);
        QCOMPARE(std::pair(model.picker().shown()->id, model.picker().shown()->anchor),
                 std::pair(QString("airflow.demo2"), panel.airflow->panelFrame()));

        // A click on the scrim away from any trigger closes without picking, and the pointer
        // reaches the panel again.
        const std::optional<ACState> before = model.pod("demo2")->acState;
        QVERIFY(!panel.layer->testAttribute(Qt::WA_TransparentForMouseEvents));
        QTest::mouseClick(panel.layer, Qt::LeftButton, {}, QPoint(300, 300));
        QVERIFY(!model.picker().shown() && model.pod("demo2")->acState == before &&
                panel.card()->isHidden());
        QVERIFY(panel.layer->testAttribute(Qt::WA_TransparentForMouseEvents));

        // A row's click closes the card, then picks; the card fits its rows.
        QTest::mouseClick(panel.mode, Qt::LeftButton);
        const int heat = 1; // Cool, Heat, Fan, Dry, Auto, as tst_dropdown's builders has them

        QTest::mouseMove(panel.card(), panel.card()->rowRect(heat).center().toPoint());
        QCOMPARE(model.picker().shown()->highlighted, heat);

        // The pick runs on a closed picker: a pick that opens another dropdown must keep it.
        std::optional<bool> closedWhenPicked;
        connect(&model, &AppModel::podsChanged, this,
                [&] { closedWhenPicked = !model.picker().shown().has_value(); });
        QTest::mouseClick(panel.card(), Qt::LeftButton, {},
                          panel.card()->rowRect(heat).center().toPoint());
        QVERIFY(!model.picker().shown() && closedWhenPicked == true);
        QCOMPARE(model.pod("demo1")->acState->mode, "heat");

        // The office is off: all seven swing rows in three groups, and the note.
        QTest::mouseClick(panel.airflow, Qt::LeftButton);
        const Dropdown open = *model.picker().shown();
        QVERIFY(open.note && panel.card()->height() == DropdownCard::heightOf(open));

        // Near the bottom of the panel: the card opens above its trigger, centred on it.
        const DropdownLayer::Placement placement = DropdownLayer::place(open, QSizeF(380, 600));
        QVERIFY(placement.above && panel.card()->pos() == placement.origin.toPoint());

        // Every row can be hit, separators and the note cannot.
        for (int i = 0; i < open.options.size(); ++i)
            QCOMPARE(panel.card()->rowAt(panel.card()->rowRect(i).center()), i);
        QVERIFY(!panel.card()->rowAt(QPointF(100, panel.card()->rowRect(1).top() - 4)) &&
                !panel.card()->rowAt(QPointF(100, DropdownCard::heightOf(open) - 20)));
    }

    // A screen reader reads the trigger as a combo box and the open card as a list of the
    // options, the current one selected. An option's action is the click's pick (and
    // e2e.accessibility presses one). Closed, the card fades out, and a trigger's vane turns.
    void readAsAComboBoxWithAListThenFades() {
        Panel panel;
        AppModel& model = panel.model;
        QAccessibleInterface* trigger = QAccessible::queryAccessibleInterface(panel.mode);
        QCOMPARE(std::pair(spoken(trigger), trigger->text(QAccessible::Value)),
                 std::pair(QString("ComboBox 'help' folded"), QString("Cool")));
        trigger->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
        QVERIFY(model.picker().shown() && spoken(trigger).endsWith(" expanded"));

        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(panel.card());
        QStringList options;
        for (int i = 0; i < list->childCount(); ++i)
            options << spoken(list->child(i)) +
                           (list->indexOfChild(list->child(i)) == i ? "" : "?");
        QCOMPARE(std::pair(list->role(), options),
                 std::pair(QAccessible::List,
                           QStringList{"ListItem 'Cool' selected", "ListItem 'Heat'",
                                       "ListItem 'Fan'", "ListItem 'Dry'", "ListItem 'Auto'"}));

        FrameTicker::shared()->setInstant(false);
        model.picker().close();

        // Fading out: still drawn, but the pointer already reaches the panel below.
        QVERIFY(!panel.card()->isHidden() &&
                panel.layer->testAttribute(Qt::WA_TransparentForMouseEvents));
        FrameTicker::shared()->advance(0.1);
        QVERIFY(!panel.card()->isHidden());
        FrameTicker::shared()->advance(0.1);
        QVERIFY(panel.card()->isHidden());

        // A trigger's vane turns to its new aim.
        FrameTicker::shared()->setInstant(true);
        panel.airflow->setLabel(Dropdown::Option::Vane{0.2}, "Upper");
        FrameTicker::shared()->setInstant(false);
        panel.airflow->setLabel(Dropdown::Option::Vane{0.8}, "Lower");
        QCOMPARE(panel.airflow->shownAim(), 0.2);
        FrameTicker::shared()->advance(1);
        QCOMPARE(panel.airflow->shownAim(), 0.8);
        FrameTicker::shared()->setInstant(true);
    }

    void place() {
        // Four rows: 156 points high, in a panel 380 wide and `height` high.
        const QList<std::tuple<const char*, double, QRectF, QPointF, bool>> cases{
            {"room below", 600, {140, 100, 100, 32}, {90, 140}, false},
            {"near the bottom: above", 700, {140, 600, 100, 32}, {90, 436}, true},
            {"just fits above", 300, {140, 172, 100, 32}, {90, 8}, true},
            {"short panel: below, overflowing", 200, {140, 20, 100, 32}, {90, 60}, false},
            {"far left", 600, {0, 100, 40, 32}, {12, 140}, false},
            {"far right", 600, {350, 100, 30, 32}, {168, 140}, false}};
        for (const auto& [name, height, anchor, origin, above] : cases) {
            Dropdown dropdown;
            dropdown.anchor = anchor;
            for (int i = 0; i < 4; ++i)
                dropdown.options.append({.id = QString::number(i), .title = "row"});
            const auto placement = DropdownLayer::place(dropdown, {380, height});
            QVERIFY2(placement.origin == origin && placement.above == above, name);
        }
    }
};

QTEST_MAIN(DropdownViewsTest)
#include "tst_dropdown_views.moc"
