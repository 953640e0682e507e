#include "panel/animation/frame_ticker.h"
#include "panel/controls/compact_label.h"
#include "panel/controls/power_switch.h"
#include "panel/controls/round_button.h"
#include "panel/controls/vane.h"
#include "panel/style/fonts.h"
#include "panel/style/palette.h"

#include <QImage>
#include <QTest>
#include <cmath>
#include <numbers>

namespace {

// The widget drawn over black, as the panel's dark background would show it.
QImage renderOnBlack(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    widget.render(&image, {}, {}, QWidget::RenderFlags());
    return image;
}

QColor overBlack(const QColor& color) {
    const float a = color.alphaF();
    return QColor::fromRgbF(color.redF() * a, color.greenF() * a, color.blueF() * a);
}

bool near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2 &&
           std::abs(a.blue() - b.blue()) <= 2;
}

int brightest(const QImage& image) {
    int best = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            best = std::max(best, qRed(image.pixel(x, y)));
    return best;
}

} // namespace

class ControlsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void vaneLine_data();
    void vaneLine();
    void powerSwitch();
    void roundButton_data();
    void roundButton();
    void compactLabelKeepsTabularWidth();
};

void ControlsTest::vaneLine_data() {
    QTest::addColumn<double>("aim");
    QTest::addColumn<double>("degrees");
    QTest::newRow("level") << 0.0 << 6.0;
    QTest::newRow("middle") << 0.5 << 32.0;
    QTest::newRow("steep") << 1.0 << 58.0;
}

void ControlsTest::vaneLine() {
    QFETCH(double, aim);
    QFETCH(double, degrees);
    QCOMPARE(Vane::angle(aim), degrees);

    // Through the centre (30, 35), half as long as the frame is wide each way, down to the right.
    const QLineF line = Vane::line(QRectF(10, 20, 40, 30), aim);
    const QPointF reach = 20 * QPointF(std::cos(degrees * std::numbers::pi / 180),
                                       std::sin(degrees * std::numbers::pi / 180));
    QVERIFY(QLineF(line.p1(), QPointF(30, 35) - reach).length() < 1e-9);
    QVERIFY(QLineF(line.p2(), QPointF(30, 35) + reach).length() < 1e-9);
}

void ControlsTest::powerSwitch() {
    PowerSwitch power;
    int calls = 0;
    power.setAction([&] { ++calls; });
    power.setTint(Palette::warm());
    power.show();
    QVERIFY(QTest::qWaitForWindowExposed(&power));
    QCOMPARE(power.size(), QSize(46, 26));

    // Off: the knob at the left end, the right end shows the faint track. A click calls the
    // action and leaves the switch as it is.
    QCOMPARE(power.toolTip(), QStringLiteral("Turn on"));
    QImage image = renderOnBlack(power);
    QVERIFY(near(image.pixelColor(13, 20), Qt::white));
    QVERIFY(near(image.pixelColor(37, 13), overBlack(Palette::white(0.14))));
    QTest::mouseClick(&power, Qt::LeftButton);
    QCOMPARE(calls, 1);
    QVERIFY(!power.isOn());

    // On: the knob springs to the right end over the tint.
    power.setOn(true);
    QCOMPARE(power.toolTip(), QStringLiteral("Turn off"));
    FrameTicker::shared()->advance(0.05);
    QVERIFY(!near(renderOnBlack(power).pixelColor(33, 20), Qt::white));
    FrameTicker::shared()->advance(2);
    image = renderOnBlack(power);
    QVERIFY(near(image.pixelColor(33, 20), Qt::white));
    QVERIFY(near(image.pixelColor(9, 13), Palette::warm()));
    QTest::mouseClick(&power, Qt::LeftButton);
    QCOMPARE(calls, 2);
    QVERIFY(power.isOn());
}

void ControlsTest::roundButton_data() {
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("calls");
    QTest::addColumn<QColor>("iconColor");
    QTest::newRow("enabled") << true << 1 << Palette::primaryText();
    QTest::newRow("disabled") << false << 0 << Palette::tertiaryText();
}

void ControlsTest::roundButton() {
    QFETCH(bool, enabled);
    QFETCH(int, calls);
    QFETCH(QColor, iconColor);
    RoundButton button(QStringLiteral("plus"), 40);
    button.setHelp(QStringLiteral("Warmer"));
    int called = 0;
    button.setAction([&] { ++called; });
    button.setEnabled(enabled);
    button.move(300, 300); // away from where earlier cases left the pointer
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QCOMPARE(button.toolTip(), QStringLiteral("Warmer"));

    // The circle is 9% white, 16% while the pointer is over an enabled button; the icon's
    // solid strokes show its colour over the circle.
    const auto shows = [&](qreal circle) {
        const QImage image = renderOnBlack(button);
        const QColor fill = overBlack(Palette::white(circle));
        const float a = iconColor.alphaF();
        const int icon = qRound(255 * a + fill.red() * (1 - a));
        return near(image.pixelColor(6, 20), fill) && std::abs(brightest(image) - icon) <= 3;
    };
    QVERIFY(shows(0.09));
    QTest::mouseMove(&button);
    QVERIFY(shows(enabled ? 0.16 : 0.09));
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(called, calls);
}

void ControlsTest::compactLabelKeepsTabularWidth() {
    CompactLabel label(QStringLiteral("timer"), QStringLiteral("1:11"));
    label.setFont(Fonts::font(11.5, QFont::Medium));
    label.setTabularDigits(true);
    const QSize width = label.sizeHint();
    label.setText(QStringLiteral("4:08"));
    QCOMPARE(label.sizeHint(), width);
    QCOMPARE(label.sizeHint().width(),
             int(std::ceil(11.5 * 1.2 * 0.85 + 4 +
                           Fonts::tabularWidth(label.font(), QStringLiteral("4:08")))));
}

QTEST_MAIN(ControlsTest)
#include "tst_controls.moc"
