#include "model/app_model.h"
#include "model/demo_data.h"

#include <QTest>

class ConformTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pick_data();
    void pick();
    void fill();
    void conform_data();
    void conform();
};

using Options = std::optional<QStringList>;
using Text = std::optional<QString>;

void ConformTest::pick_data() {
    QTest::addColumn<Text>("value");
    QTest::addColumn<Options>("options");
    QTest::addColumn<Text>("picked");
    QTest::newRow("offered") << Text("low") << Options({"auto", "low"}) << Text("low");
    QTest::newRow("preferred") << Text("turbo") << Options({"low", "auto"}) << Text("auto");
    QTest::newRow("nothing offered") << Text("low") << Options(QStringList{}) << Text();
}

void ConformTest::pick() {
    QFETCH(Text, value);
    QFETCH(Options, options);
    QFETCH(Text, picked);
    QCOMPARE(AppModel::pick(value, options, "auto"), picked);
}

void ConformTest::fill() {
    const ACState sent{true, "cool", 22, "C", "low", "stopped", "stopped", "on"};
    ACState answer;
    answer.targetTemperature = 23;
    answer.swing = "rangeFull";
    QCOMPARE(AppModel::fill(answer, sent),
             (ACState{true, "cool", 23, "C", "low", "rangeFull", {}, {}}));
}

void ConformTest::conform_data() {
    QTest::addColumn<ACState>("state");
    QTest::addColumn<ACState>("conformed");
    // demo1: cool 22 °C, fan auto, swing stopped; modes cool, heat, fan, dry, auto.
    QTest::newRow("mode not offered keeps the current")
        << ACState{true, "turbo", 22, "C", "auto", "stopped", {}, {}}
        << ACState{true, "cool", 22, "C", "auto", "stopped", {}, {}};
    QTest::newRow("fan mode has no temperatures, fewer fans")
        << ACState{true, "fan", 22, {}, "quiet", "rangeFull", "x", "on"}
        << ACState{true, "fan", {}, "C", "low", "rangeFull", {}, {}};
    QTest::newRow("nearest temperature, tie to the first")
        << ACState{false, "cool", 40, "C", {}, {}, {}, {}}
        << ACState{false, "cool", 30, "C", "auto", "stopped", {}, {}};
    QTest::newRow("no target takes the middle")
        << ACState{{}, "dry", {}, {}, "high", {}, {}, {}}
        << ACState{{}, "dry", 23, "C", "low", "stopped", {}, {}};
}

void ConformTest::conform() {
    QFETCH(ACState, state);
    QFETCH(ACState, conformed);
    const Pod unit = DemoData::pods(QDateTime::currentDateTimeUtc()).first();
    QCOMPARE(AppModel::conform(state, unit), conformed);
}

QTEST_GUILESS_MAIN(ConformTest)
#include "tst_conform.moc"
