#include "panel/animation/frame_ticker.h"
#include "panel/controls/compact_label.h"
#include "panel/controls/power_switch.h"
#include "panel/controls/round_button.h"
#include "panel/style/fonts.h"
#include "panel/style/palette.h"
#include "support/panel_rig.h"

// Where the white knob of a switch is drawn.
static QString knob(PowerSwitch& power) {
    const QImage image = renderOnBlack(power);
    const auto white = [&](int x) { return image.pixelColor(x, 20).lightness() > 250; };
    return white(13) ? "left" : white(33) ? "right" : "between";
}

class ControlsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:

    void powerSwitch() {
        PowerSwitch power;
        int calls = 0;
        power.setAction([&] { ++calls; });
        power.setTint(Palette::warm());
        power.show();
        QVERIFY(QTest::qWaitForWindowExposed(&power));

        // A click calls the action and leaves the switch as it is: the model decides.
        QCOMPARE(std::pair(power.toolTip(), knob(power)),
                 std::pair(QString("Turn on"), QString("left")));
        QTest::mouseClick(&power, Qt::LeftButton);
        QVERIFY(calls == 1 && !power.isOn());

        // On: the knob springs to the right end.
        power.setOn(true);
        QCOMPARE(power.toolTip(), QStringLiteral("Turn off"));
        FrameTicker::shared()->advance(0.05);
        QCOMPARE(knob(power), "between");
        FrameTicker::shared()->advance(2);
        QCOMPARE(knob(power), "right");
    }

    // Only an enabled button lights up under the pointer and takes a click.
    void roundButton() {
        for (const bool enabled : {true, false}) {
            RoundButton button(QStringLiteral("plus"), 40);
            int called = 0;
            button.setAction([&] { ++called; });
            button.setEnabled(enabled);
            button.move(300, 300); // away from where earlier cases left the pointer
            button.show();
            QVERIFY(QTest::qWaitForWindowExposed(&button));
            const QImage resting = renderOnBlack(button);
            QTest::mouseMove(&button);
            QCOMPARE(renderOnBlack(button) != resting, enabled);
            QTest::mouseClick(&button, Qt::LeftButton);
            QCOMPARE(called, int(enabled));
        }
    }

    void compactLabelKeepsTabularWidth() {
        CompactLabel label(QStringLiteral("timer"), QStringLiteral("1:11"));
        label.setFont(Fonts::font(11.5, QFont::Medium));
        label.setTabularDigits(true);
        const QSize size = label.sizeHint();
        label.setText(QStringLiteral("4:08"));
        QCOMPARE(label.sizeHint(), size);
    }
};

QTEST_MAIN(ControlsTest)
#include "tst_controls.moc"
