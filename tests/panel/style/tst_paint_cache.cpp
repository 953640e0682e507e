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

        probe.color = Qt::blue;
        QCOMPARE(renderOnBlack(probe).pixelColor(5, 5), QColor(Qt::blue));
        QCOMPARE(probe.paints, 2);

        probe.resize(30, 10);
        QCOMPARE(renderOnBlack(probe).pixelColor(25, 5), QColor(Qt::blue));
        QCOMPARE(probe.paints, 3);

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
        const auto line = [] {
            auto text = std::make_shared<LineText>(Fonts::font(13), Palette::primaryText());
            text->setText(QStringLiteral("Bedroom"));
            return text;
        };
        QTest::newRow("line text")
            << std::shared_ptr<QWidget>(line()) << Change([](QWidget& widget) {
                   static_cast<LineText&>(widget).setText(QStringLiteral("Kitchen"));
               });
        QTest::newRow("line colour")
            << std::shared_ptr<QWidget>(line()) << Change([](QWidget& widget) {
                   static_cast<LineText&>(widget).setColor(Palette::warm());
               });
        auto figure = std::make_shared<TightFigure>();
        figure->setText(QStringLiteral("21°"));
        QTest::newRow("figure") << std::shared_ptr<QWidget>(figure) << Change([](QWidget& widget) {
            static_cast<TightFigure&>(widget).setText(QStringLiteral("24°"));
        });
        auto label =
            std::make_shared<CompactLabel>(QStringLiteral("humidity"), QStringLiteral("48%"));
        QTest::newRow("compact label")
            << std::shared_ptr<QWidget>(label) << Change([](QWidget& widget) {
                   static_cast<CompactLabel&>(widget).setColor(Palette::cool());
               });
        auto fan = std::make_shared<FanStepper>();
        fan->setLevel(QStringLiteral("low"), {QStringLiteral("low"), QStringLiteral("high")});
        QTest::newRow("fan level") << std::shared_ptr<QWidget>(fan) << Change([](QWidget& widget) {
            static_cast<FanStepper&>(widget).setLevel(
                QStringLiteral("high"), {QStringLiteral("low"), QStringLiteral("high")});
        });
        QTest::newRow("more toggle")
            << std::shared_ptr<QWidget>(std::make_shared<MoreToggle>())
            << Change([](QWidget& widget) { static_cast<MoreToggle&>(widget).setTurn(0.5); });
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
