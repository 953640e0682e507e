#include "model/ac_state_rules.h"
#include "model/demo_data.h"

#include <QTest>

class ACStateRulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fill() {
        const ACState sent{true, "cool", 22, "C", "low", "stopped", "stopped", "on"};
        const ACState answer{{}, {}, 23, {}, {}, "rangeFull", {}, {}};
        QCOMPARE(ACStateRules::fill(answer, sent),
                 (ACState{true, "cool", 23, "C", "low", "rangeFull", {}, {}}));
    }

    // demo1: cool 22 °C, fan auto, swing stopped; modes cool, heat, fan, dry, auto, each with
    // sideways swing (stopped, fixedLeft, fixedCenter, fixedRight, rangeFull) and light.
    void conform() {
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
    }

    void timerMinutes() {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const auto minutes = [&now](qint64 offsetMs) {
            return ACStateRules::timerMinutes(now, now.addMSecs(offsetMs));
        };
        QCOMPARE(minutes(-600'000), 1430); // 10 minutes past: tomorrow
        QCOMPARE(minutes(20'000), 1);      // a moment ahead is a minute
        QCOMPARE(minutes(89'000), 1);
        QCOMPARE(minutes(90'000), 2); // halves round up
    }
};

QTEST_GUILESS_MAIN(ACStateRulesTest)
#include "tst_ac_state_rules.moc"
