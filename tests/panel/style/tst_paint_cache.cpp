#include "panel/card/fan_stepper.h"
#include "panel/card/more_toggle.h"
#include "panel/controls/compact_label.h"
#include "panel/controls/counting_figure.h"
#include "panel/controls/line_text.h"
#include "panel/style/fonts.h"
#include "panel/style/palette.h"
#include "support/paint_recorder.h"
#include "support/panel_rig.h"

namespace {

// Fills itself in the colour it is given, counting how often it really paints.
class Probe : public QWidget {
public:
    QColor color = Qt::red;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        cache.paint(*this, color, [&](QPainter& painter) {
            ++paints;
            painter.fillRect(rect(), color);
        });
    }

private:
    PaintCache<QColor> cache;
};

} // namespace

class PaintCacheTest : public QObject {
    Q_OBJECT

private Q_SLOTS:

    void paintsAgainOnlyWhenSomethingShownChanges() {
        Probe probe;
        probe.resize(20, 10);
        QCOMPARE(renderOnBlack(probe).pixelColor(5, 5), QColor(Qt::red));
        renderOnBlack(probe);
        QCOMPARE(probe.paints, 1);
        // Each change below paints once more: the colour, the size, the font.
        probe.color = Qt::blue;
        QCOMPARE(renderOnBlack(probe).pixelColor(5, 5), QColor(Qt::blue));
        probe.resize(30, 10);
        QCOMPARE(renderOnBlack(probe).pixelColor(25, 5), QColor(Qt::blue));
        probe.setFont(Fonts::font(20));
        renderOnBlack(probe);
        QCOMPARE(probe.paints, 4);

        // A recording gets the shapes themselves, every time.
        for (int round = 0; round < 2; ++round)
            QCOMPARE(PaintRecorder::record(probe).shapes.size(), 1);
        QCOMPARE(probe.paints, 6);
    }

    // A widget drawn once, changed, and drawn again at the same size shows the change.
    void widgetsShowTheirNewState() {
        LineText text(Fonts::font(13), Palette::primaryText()),
            tinted(Fonts::font(13), Palette::primaryText());
        text.setText("Bedroom");
        tinted.setText("Bedroom");
        TightFigure figure;
        figure.setText("21°");
        CompactLabel label("humidity", "48%");
        FanStepper fan;
        const QStringList levels{"low", "high"};
        fan.setLevel(levels[0], levels);
        MoreToggle toggle;
        const QList<std::tuple<const char*, QWidget*, std::function<void()>>> cases{
            {"line text", &text, [&] { text.setText("Kitchen"); }},
            {"line colour", &tinted, [&] { tinted.setColor(Palette::warm()); }},
            {"figure", &figure, [&] { figure.setText("24°"); }},
            {"compact label", &label, [&] { label.setColor(Palette::cool()); }},
            {"fan level", &fan, [&] { fan.setLevel(levels[1], levels); }},
            {"more toggle", &toggle, [&] { toggle.setTurn(0.5); }}};
        for (const auto& [name, widget, change] : cases) {
            widget->resize(widget->sizeHint().expandedTo({180, 30}));
            const QImage before = renderOnBlack(*widget);
            change();
            QVERIFY2(renderOnBlack(*widget) != before, name);
        }
    }
};

QTEST_MAIN(PaintCacheTest)
#include "tst_paint_cache.moc"
