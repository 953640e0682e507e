#include "model/dropdown_builders.h"
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

QStringList ids(const QList<Dropdown::Option>& options) {
    QStringList ids;
    for (const Dropdown::Option& option : options)
        ids.append(option.id);
    return ids;
}
} // namespace

class DropdownTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void highlightWalk_data() {
        QTest::addColumn<std::optional<QString>>("selected");
        QTest::addColumn<QList<int>>("steps");
        QTest::addColumn<std::optional<int>>("highlighted");
        const std::optional<QString> none;
        QTest::newRow("nothing selected") << none << QList<int>{} << std::optional<int>();
        QTest::newRow("first up") << none << QList<int>{-1} << std::optional(2);
        QTest::newRow("down stops on the last row")
            << none << QList<int>{1, 1, 1, 1} << std::optional(2);
        QTest::newRow("up stops on the first row")
            << none << QList<int>{1, -1, -1} << std::optional(0);
        QTest::newRow("from the selected row")
            << std::optional<QString>("b") << QList<int>{1} << std::optional(2);
    }

    void highlightWalk() {
        QFETCH(std::optional<QString>, selected);
        QFETCH(QList<int>, steps);
        QFETCH(std::optional<int>, highlighted);
        ModelRig rig;
        AppModel& model = rig.start(true);
        model.moveHighlight(1); // nothing open: nothing happens
        QCOMPARE(model.dropdown().has_value(), false);
        model.openDropdown(letters(selected));
        for (const int step : steps)
            model.moveHighlight(step);
        QCOMPARE(model.dropdown()->highlighted, highlighted);
    }

    void pickClosesThenPicks() {
        ModelRig rig;
        AppModel& model = rig.start(true);
        QStringList picked;
        bool closedFirst = false;
        Dropdown dropdown = letters();
        dropdown.pick = [&](const QString& id) {
            picked.append(id);
            closedFirst = !model.dropdown();
        };
        model.openDropdown(dropdown);
        model.pickHighlighted(); // nothing highlighted: stays open
        QVERIFY(model.dropdown());
        model.highlight(3); // not a row
        QCOMPARE(model.dropdown()->highlighted, std::nullopt);
        model.highlight(2); // the pointer is over the last row
        model.moveHighlight(-1);
        model.pickHighlighted();
        QCOMPARE(picked, QStringList{"b"});
        QVERIFY(closedFirst);
        model.pickHighlighted(); // closed: nothing
        QCOMPARE(picked.size(), 1);

        model.openDropdown(letters("c"));
        model.panelClosed();
        QCOMPARE(model.dropdown().has_value(), false);
    }

    void swingOptions_data() {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("all kinds")
            << QStringList{"stopped", "fixedBottom", "rangeFull", "fixedTop"}
            << "Swing | Top, Bottom | Hold"
            << QStringList{"rangeFull", "fixedTop", "fixedBottom", "stopped"};
        QTest::newRow("ranges, rangeFull first; unknown values left out")
            << QStringList{"rangeUpper", "horizontal", "rangeFull", "fixedTop"}
            << "Swing, " + Swing::title(QStringLiteral("rangeUpper")) + " | Top"
            << QStringList{"rangeFull", "rangeUpper", "fixedTop"};
        QTest::newRow("fixed only") << QStringList{"fixedMiddle", "fixedTop"} << "Top, Middle"
                                    << QStringList{"fixedTop", "fixedMiddle"};
    }

    void swingOptions() {
        QFETCH(QStringList, values);
        QFETCH(QString, rows);
        QFETCH(QStringList, ids);
        const QList<Dropdown::Option> options = Swing::options(values);
        QCOMPARE(::rows(options), rows);
        QCOMPARE(::ids(options), ids);
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
        model.openDropdown(off);
        QCOMPARE(model.dropdown()->highlighted, 0);
        model.moveHighlight(1);
        model.pickHighlighted();
        QCOMPARE(model.pod("demo2")->acState->swing, "fixedTop");
        QCOMPARE(model.pod("demo2")->acState->on, false);
    }
};

QTEST_GUILESS_MAIN(DropdownTest)
#include "tst_dropdown.moc"
