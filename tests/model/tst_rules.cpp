#include "model/ac_state_rules.h"
#include "model/demo_data.h"
#include "model/dropdown_builders.h"
#include "model/dropdown_picker.h"
#include "model/system_clock.h"
#include "model/unit_lookup.h"
#include "support/model_rig.h"

#include <QElapsedTimer>
#include <QTest>

using namespace std::chrono_literals;

namespace {
QCoro::Task<> sleeper(Clock& clock, std::chrono::milliseconds duration, CancelToken cancel,
                      QStringList& woken) {
    co_await clock.sleep(duration, cancel);
    woken.append(cancel.isCancelled() ? QStringLiteral("cancelled") : QStringLiteral("woke"));
}

Dropdown letters(std::optional<QString> selected = std::nullopt) {
    Dropdown dropdown;
    dropdown.id = QStringLiteral("letters");
    for (const QString& letter : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")})
        dropdown.options.append({.id = letter, .title = letter.toUpper()});
    dropdown.selected = std::move(selected);
    return dropdown;
}

// The rows as titles, with " | " where a group starts: "Swing | Top, Bottom | Hold".
QString rows(const QList<Dropdown::Option>& options) {
    QString text;
    for (const Dropdown::Option& option : options) {
        if (!text.isEmpty())
            text += option.startsGroup ? QStringLiteral(" | ") : QStringLiteral(", ");
        text += option.title;
    }
    return text;
}
} // namespace

// The model's rules that are functions of their own, its clock, and the dropdowns it builds.
class RulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // An answer's missing members come from the state sent. Conforming is to demo1: cool 22 °C,
    // fan auto, swing stopped; modes cool, heat, fan, dry, auto, each with sideways swing
    // (stopped, fixedLeft, fixedCenter, fixedRight, rangeFull) and light.
    void stateRules() {
        QCOMPARE(ACStateRules::fill({{}, {}, 23, {}, {}, "rangeFull", {}, {}},
                                    {true, "cool", 22, "C", "low", "stopped", "stopped", "on"}),
                 (ACState{true, "cool", 23, "C", "low", "rangeFull", {}, {}}));
        const Pod unit = DemoData::pods(QDateTime::currentDateTimeUtc()).first();
        const auto conformed = [&unit](const ACState& state) {
            return ACStateRules::conform(state, unit);
        };
        // A mode not offered keeps the current.
        QCOMPARE(conformed({true, "turbo", 22, "C", "auto", "stopped", "fixedLeft", "dim"}),
                 (ACState{true, "cool", 22, "C", "auto", "stopped", "fixedLeft", "dim"}));
        // Fan mode has no temperatures and fewer fan levels.
        QCOMPARE(conformed({true, "fan", 22, {}, "quiet", "rangeFull", "x", "bright"}),
                 (ACState{true, "fan", {}, "C", "low", "rangeFull", "stopped", "on"}));
        // The nearest temperature, a tie to the first.
        QCOMPARE(conformed({false, "cool", 40, "C", {}, {}, {}, {}}),
                 (ACState{false, "cool", 30, "C", "auto", "stopped", "stopped", "on"}));
        // Without a target, the middle one.
        QCOMPARE(conformed({{}, "dry", {}, {}, "high", {}, {}, {}}),
                 (ACState{{}, "dry", 23, "C", "low", "stopped", "stopped", "on"}));

        // The minutes of a timer set for a time of day.
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const auto minutes = [&now](qint64 offsetMs) {
            return ACStateRules::timerMinutes(now, now.addMSecs(offsetMs));
        };
        // 10 minutes past is tomorrow, a moment ahead is a minute, halves round up.
        QCOMPARE(
            (QList<qint64>{minutes(-600'000), minutes(20'000), minutes(89'000), minutes(90'000)}),
            (QList<qint64>{1430, 1, 1, 2}));
    }

    // What a text finds: the id, or "error: " and the reason (its start).
    void unitLookup() {
        // Bedroom, Office, Living Room; then one without a room, named after its id.
        QList<Pod> pods = DemoData::pods(QDateTime::currentDateTimeUtc());
        Pod unnamed, second;
        unnamed.id = QStringLiteral("7bX2k9");
        second.id = QStringLiteral("bed2");
        second.room = Pod::Room{QStringLiteral("Bed 2"), {}};
        pods << unnamed << second;
        const auto found = [&pods](const QString& text) {
            const auto result = UnitLookup::find(pods, text);
            const Pod* pod = std::get_if<Pod>(&result);
            return pod ? pod->id : "error: " + std::get<QString>(result);
        };
        // A number, an id, a name in any case, a unique start, a whole name over starts, and the
        // name made from the id.
        QCOMPARE(QStringList({found("2"), found("demo3"), found("oFFICE"), found("liv"),
                              found("bed 2"), found("sensibo 7bx2")}),
                 QStringList({"demo2", "demo3", "demo2", "demo3", "bed2", "7bX2k9"}));
        // Refusals say why; those that find no unit list the units.
        const QString units =
            " The units are: 1 Bedroom, 2 Office, 3 Living Room, 4 Sensibo 7bX2, 5 Bed 2.";
        // An id is exact: another case of it is a name that no room has.
        QCOMPARE(
            QStringList({found("Attic"), found("Bed"), found("9"), found(" "), found("DEMO1")}),
            QStringList({"error: No unit is called \"Attic\"." + units,
                         "error: \"Bed\" could be Bedroom or Bed 2: give more of the name.",
                         "error: There is no unit 9." + units, "error: No unit given." + units,
                         "error: No unit is called \"DEMO1\"." + units}));
    }

    void systemClockSleepsAndCancels() {
        SystemClock clock;
        QStringList woken;
        QElapsedTimer elapsed;
        elapsed.start();
        sleeper(clock, 30ms, {}, woken);
        QVERIFY(QTest::qWaitFor([&] { return !woken.isEmpty(); }, 2000) && elapsed.elapsed() >= 30);

        CancelToken cancel;
        elapsed.restart();
        sleeper(clock, 60s, cancel, woken);
        cancel.cancel();
        QVERIFY(QTest::qWaitFor([&] { return woken.size() == 2; }, 2000));
        QVERIFY(woken == QStringList({"woke", "cancelled"}) && elapsed.elapsed() < 5000);
    }

    void highlightWalkAndPick() {
        int changes = 0;
        DropdownPicker picker([&changes] { ++changes; });
        picker.moveHighlight(1); // nothing open: nothing happens
        QCOMPARE(std::pair(picker.shown().has_value(), changes), std::pair(false, 0));
        const auto walk = [&picker](std::optional<QString> selected, const QList<int>& steps) {
            picker.open(letters(std::move(selected)));
            for (const int step : steps)
                picker.moveHighlight(step);
            return picker.shown()->highlighted;
        };
        // None at first; up first is the last row; down stops on the last row, up on the first;
        // a walk starts from the selected row.
        QCOMPARE((QList<std::optional<int>>{walk({}, {}), walk({}, {-1}), walk({}, {1, 1, 1, 1}),
                                            walk({}, {1, -1, -1}), walk(QString("b"), {1})}),
                 (QList<std::optional<int>>{std::nullopt, 2, 2, 0, 2}));

        // Only a highlighted row is picked, once. (That the pick runs on a closed picker is
        // tst_dropdown_views' rowClickClosesThenPicks.)
        QStringList picked;
        Dropdown dropdown = letters();
        dropdown.pick = [&picked](const QString& id) { picked.append(id); };
        picker.open(dropdown);
        picker.pickHighlighted(); // nothing highlighted: stays open
        picker.highlight(3);      // not a row
        QVERIFY(picker.shown() && !picker.shown()->highlighted);
        picker.highlight(2); // the pointer is over the last row
        picker.moveHighlight(-1);
        picker.pickHighlighted();
        picker.pickHighlighted(); // closed: nothing
        QCOMPARE(std::pair(picked, picker.shown().has_value()), std::pair(QStringList{"b"}, false));
    }

    // A unit that is off shows no mode selected, or a note for settings that wait for it to be on.
    // (The mode rows of a unit that is on are what tst_dropdown_views' readAsAComboBoxWithAList
    // reads.)
    void dropdownRows() {
        ModelRig rig;
        AppModel& model = rig.start(true);
        QCOMPARE(Dropdowns::mode(model, *model.pod("demo2"), {}).selected, std::nullopt);
        QCOMPARE(Dropdowns::airflow(model, *model.pod("demo1"), {}).note, std::nullopt);

        const Dropdown off = Dropdowns::airflow(model, *model.pod("demo2"), QRectF());
        QVERIFY(off.selected == "rangeFull" && off.note == "Off now. Set when you turn it on.");
        model.picker().open(off);
        QCOMPARE(model.picker().shown()->highlighted, 0);
        model.picker().moveHighlight(1);
        model.picker().pickHighlighted();
        QCOMPARE(model.pod("demo2")->acState->swing, "fixedTop");
        QCOMPARE(model.pod("demo2")->acState->on, false);

        // Swing rows as shown, then the ids they pick.
        const auto shown = [](const QStringList& values) {
            const QList<Dropdown::Option> options = Swing::options(values);
            QStringList ids;
            for (const Dropdown::Option& option : options)
                ids.append(option.id);
            return rows(options) + " = " + ids.join(',');
        };
        QCOMPARE(shown({"stopped", "fixedBottom", "rangeFull", "fixedTop"}),
                 "Swing | Top, Bottom | Hold = rangeFull,fixedTop,fixedBottom,stopped");
        // Ranges come with rangeFull first; unknown values are left out.
        QCOMPARE(shown({"rangeUpper", "horizontal", "rangeFull", "fixedTop"}),
                 "Swing, " + Swing::title("rangeUpper") + " | Top = rangeFull,rangeUpper,fixedTop");
        QCOMPARE(shown({"fixedMiddle", "fixedTop"}), "Top, Middle = fixedTop,fixedMiddle");
        // Sideways: sweeps, then left to right, then holding still.
        QCOMPARE(rows(Sideways::options({"stopped", "fixedRight", "rangeCenter", "fixedLeftRight",
                                         "fixedLeft", "rangeFull", "wobble"})),
                 "Swing, Swing center | Left, Right, Left and right | Hold");
    }
};

QTEST_GUILESS_MAIN(RulesTest)
#include "tst_rules.moc"
