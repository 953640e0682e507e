#include "panel/animation/frame_ticker.h"
#include "panel/controls/compact_label.h"
#include "panel/controls/power_switch.h"
#include "panel/controls/round_button.h"
#include "panel/style/fonts.h"
#include "panel/style/palette.h"
#include "support/panel_rig.h"

static bool whiteAt(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).lightness() > 250;
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
        QCOMPARE(power.toolTip(), QStringLiteral("Turn on"));
        QVERIFY(whiteAt(renderOnBlack(power), 13, 20) && !whiteAt(renderOnBlack(power), 33, 20));
        QTest::mouseClick(&power, Qt::LeftButton);
        QCOMPARE(calls, 1);
        QVERIFY(!power.isOn());

        // On: the knob springs to the right end.
        power.setOn(true);
        QCOMPARE(power.toolTip(), QStringLiteral("Turn off"));
        FrameTicker::shared()->advance(0.05);
        QVERIFY(!whiteAt(renderOnBlack(power), 33, 20));
        FrameTicker::shared()->advance(2);
        QVERIFY(whiteAt(renderOnBlack(power), 33, 20) && !whiteAt(renderOnBlack(power), 13, 20));
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
