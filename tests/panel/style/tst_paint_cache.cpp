#include "panel/card/fan_stepper.h"
#include "panel/card/more_toggle.h"
#include "panel/controls/compact_label.h"
#include "panel/controls/counting_figure.h"
#include "panel/controls/line_text.h"
#include "panel/style/fonts.h"
#include "panel/style/paint_cache.h"
#include "panel/style/palette.h"
#include "support/paint_recorder.h"
#include "support/panel_rig.h"

#include <functional>
#include <memory>

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

using Change = std::function<void(QWidget&)>;

} // namespace

Q_DECLARE_METATYPE(std::shared_ptr<QWidget>)
Q_DECLARE_METATYPE(Change)

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
        for (int round = 0; round < 2; ++round) {
            PaintRecorder recorder(probe.size());
            probe.render(&recorder, {}, {}, QWidget::RenderFlags());
            QCOMPARE(recorder.recording.shapes.size(), 1);
        }
        QCOMPARE(probe.paints, 6);
    }

    void widgetsShowTheirNewState_data() {
        QTest::addColumn<std::shared_ptr<QWidget>>("widget");
        QTest::addColumn<Change>("change");
        // A widget of type T as `setUp` leaves it, changed by `change`.
        const auto row =
            []<class T>(const char* name, std::shared_ptr<T> widget, auto setUp, auto change) {
                setUp(*widget);
                QTest::newRow(name)
                    << std::shared_ptr<QWidget>(widget)
                    << Change([change](QWidget& shown) { change(static_cast<T&>(shown)); });
            };
        const auto line = [] {
            return std::make_shared<LineText>(Fonts::font(13), Palette::primaryText());
        };
        const auto bedroom = [](LineText& text) { text.setText("Bedroom"); };
        row("line text", line(), bedroom, [](LineText& text) { text.setText("Kitchen"); });
        row("line colour", line(), bedroom, [](LineText& text) { text.setColor(Palette::warm()); });
        row(
            "figure", std::make_shared<TightFigure>(),
            [](TightFigure& figure) { figure.setText("21°"); },
            [](TightFigure& figure) { figure.setText("24°"); });
        row(
            "compact label", std::make_shared<CompactLabel>("humidity", "48%"),
            [](CompactLabel&) {}, [](CompactLabel& label) { label.setColor(Palette::cool()); });
        const QStringList levels{"low", "high"};
        row(
            "fan level", std::make_shared<FanStepper>(),
            [levels](FanStepper& fan) { fan.setLevel(QStringLiteral("low"), levels); },
            [levels](FanStepper& fan) { fan.setLevel(QStringLiteral("high"), levels); });
        row(
            "more toggle", std::make_shared<MoreToggle>(), [](MoreToggle&) {},
            [](MoreToggle& toggle) { toggle.setTurn(0.5); });
    }

    // A widget drawn once, changed, and drawn again at the same size shows the change.
    void widgetsShowTheirNewState() {
        QFETCH(std::shared_ptr<QWidget>, widget);
        QFETCH(Change, change);
        widget->resize(widget->sizeHint().expandedTo({180, 30}));
        const QImage before = renderOnBlack(*widget);
        change(*widget);
        QVERIFY(renderOnBlack(*widget) != before);
    }
};

QTEST_MAIN(PaintCacheTest)
#include "tst_paint_cache.moc"
