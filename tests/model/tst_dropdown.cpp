#include "model/dropdown_builders.h"
#include "model/dropdown_picker.h"
#include "support/model_rig.h"

namespace {
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

class DropdownTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
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
        QCOMPARE(walk({}, {}), std::nullopt);
        QCOMPARE(walk({}, {-1}), 2);          // up first: the last row
        QCOMPARE(walk({}, {1, 1, 1, 1}), 2);  // down stops on the last row
        QCOMPARE(walk({}, {1, -1, -1}), 0);   // up stops on the first row
        QCOMPARE(walk(QString("b"), {1}), 2); // from the selected row

        // Picking closes the dropdown, then picks.
        QStringList picked;
        bool closedFirst = false;
        Dropdown dropdown = letters();
        dropdown.pick = [&](const QString& id) {
            picked.append(id);
            closedFirst = !picker.shown();
        };
        picker.open(dropdown);
        picker.pickHighlighted(); // nothing highlighted: stays open
        QVERIFY(picker.shown());
        picker.highlight(3); // not a row
        QCOMPARE(picker.shown()->highlighted, std::nullopt);
        picker.highlight(2); // the pointer is over the last row
        picker.moveHighlight(-1);
        picker.pickHighlighted();
        QCOMPARE(picked, QStringList{"b"});
        QVERIFY(closedFirst);
        picker.pickHighlighted(); // closed: nothing
        QCOMPARE(picked.size(), 1);
    }

    // The rows as shown, then the ids they pick.
    void swingOptions() {
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

    // The unit's current value is selected; an unit that is off shows none, or a note for settings
    // that wait for it to be on.
    void builders() {
        ModelRig rig;
        AppModel& model = rig.start(true);
        const Dropdown mode = Dropdowns::mode(model, *model.pod("demo1"), QRectF(140, 93, 100, 36));
        QCOMPARE(rows(mode.options), "Cool, Heat, Fan, Dry, Auto");
        QCOMPARE(mode.selected, "cool");
        QCOMPARE(Dropdowns::mode(model, *model.pod("demo2"), {}).selected, std::nullopt);
        QCOMPARE(Dropdowns::airflow(model, *model.pod("demo1"), {}).note, std::nullopt);

        const Dropdown off = Dropdowns::airflow(model, *model.pod("demo2"), QRectF());
        QCOMPARE(off.selected, "rangeFull");
        QCOMPARE(off.note, "Off now. Set when you turn it on.");
        model.picker().open(off);
        QCOMPARE(model.picker().shown()->highlighted, 0);
        model.picker().moveHighlight(1);
        model.picker().pickHighlighted();
        QCOMPARE(model.pod("demo2")->acState->swing, "fixedTop");
        QCOMPARE(model.pod("demo2")->acState->on, false);
    }
};

QTEST_GUILESS_MAIN(DropdownTest)
#include "tst_dropdown.moc"
