#include "panel/card/fan_stepper.h"
#include "panel/card/more_toggle.h"
#include "panel/controls/compact_label.h"
#include "panel/controls/line_text.h"
#include "panel/controls/tight_figure.h"
#include "panel/root/placeholder.h"
#include "panel/style/fonts.h"
#include "panel/style/icons.h"
#include "panel/style/palette.h"
#include "support/paint_recorder.h"
#include "support/panel_rig.h"

#include <QFontInfo>

// Pixels with any ink, fully covered, of half cover or more not in the colour asked for; and
// the highest cover.
struct Ink {
    int drawn = 0, solid = 0, offColor = 0, maxAlpha = 0;
};

static Ink inspect(const QPixmap& pixmap, const QColor& color) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const int off = std::max({std::abs(pixel.red() - color.red()),
                                      std::abs(pixel.green() - color.green()),
                                      std::abs(pixel.blue() - color.blue())});
            ink = {ink.drawn + (pixel.alpha() > 0), ink.solid + (pixel.alpha() == 255),
                   ink.offColor + (pixel.alpha() >= 128 && off > 4),
                   std::max(ink.maxAlpha, pixel.alpha())};
        }
    return ink;
}

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
            painter.fillRect(QRectF(0, 0, 0.5, height()), Qt::white); // one pixel wide at 2×
        });
    }

private:
    PaintCache<QColor> cache;
};

// Icons, fonts and the paint cache the widgets draw through.
class StyleTest : public QObject {
    Q_OBJECT

private Q_SLOTS:

    // Every symbol is a line icon (not a filled square) wholly in its colour, at 2×.
    void everySymbolRendersInItsColour() {
        const QColor color(40, 200, 120);
        for (const QString& symbol : Icons::names()) {
            const QPixmap pixmap = Icons::pixmap(symbol, 24, color, 2, QFont::Bold);
            const Ink ink = inspect(pixmap, color);
            QVERIFY2(pixmap.size() == QSize(48, 48) && ink.solid > 20 && ink.offColor == 0 &&
                         ink.drawn < 48 * 48 * 3 / 4,
                     qPrintable(symbol));
        }
    }

    // An unknown symbol draws the neutral icon; opacity, weight and where painting lands.
    void unknownSymbolOpacityWeightAndPainting() {
        QVERIFY(!Icons::contains(QStringLiteral("no.such.symbol")));
        QCOMPARE(Icons::pixmap("no.such.symbol", 16, Qt::white).toImage(),
                 Icons::pixmap("circle.dotted", 16, Qt::white).toImage());
        QVERIFY(!Icons::pixmap(QString(), 0, Qt::white).isNull());

        // A translucent colour fades the icon as a whole: crossing strokes stay at its opacity.
        const QColor faint = QColor::fromRgbF(1, 1, 1, 0.25f);
        QVERIFY(std::abs(inspect(Icons::pixmap(QStringLiteral("fan"), 32, faint), faint).maxAlpha -
                         64) <= 1);
        QVERIFY(inspect(Icons::pixmap("plus", 32, Qt::white, 1, QFont::Bold), Qt::white).drawn >
                inspect(Icons::pixmap("plus", 32, Qt::white), Qt::white).drawn);

        // Painting lands centred in the rect at the device's resolution.
        QImage canvas(80, 80, QImage::Format_ARGB32_Premultiplied);
        canvas.setDevicePixelRatio(2);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        Icons::paint(painter, QRectF(0, 10, 40, 20), QStringLiteral("minus"), Qt::red);
        painter.end();
        QCOMPARE(canvas.pixelColor(40, 40), QColor(Qt::red));
        QCOMPARE(canvas.pixelColor(10, 40).alpha(), 0);

        QVERIFY(
            inspect(Icons::icon("power", Qt::white).pixmap(QSize(18, 18), 2.0), Qt::white).solid);
        // A filled symbol's body is solid.
        QCOMPARE(Icons::pixmap("lock.fill", 24, Qt::white).toImage().pixelColor(7, 17),
                 QColor(Qt::white));
    }

    void interIsEmbedded() {
        QCOMPARE(Fonts::install(), QStringLiteral("Inter"));
        QCOMPARE(QFontInfo(Fonts::font(13, QFont::DemiBold)).family(), QStringLiteral("Inter"));
        // Points are device-independent pixels: Inter's line at 100 points is about 121 pixels.
        const QFontMetricsF metrics(Fonts::font(100));
        QVERIFY(std::abs(metrics.ascent() + metrics.descent() - 121) < 3);
    }

    // Paints again only when something shown changes, and at the density of the picture it lands
    // in, not at the screen's: at 2× a half-point line is one pixel wide, and the placeholder's
    // symbol is not a 1× picture doubled.
    void paintsOnChangeAtThePicturesDensity() {
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
            QCOMPARE(PaintRecorder::record(probe).shapes.size(), 2);
        QCOMPARE(probe.paints, 6);

        const auto render = [](QWidget& widget) {
            QImage image(widget.size() * 2, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(2);
            image.fill(Qt::black);
            widget.render(&image, {}, {}, QWidget::DrawChildren);
            return image;
        };
        QImage image = render(probe);
        QCOMPARE(std::pair(image.pixelColor(0, 5), image.pixelColor(1, 5)),
                 std::pair(QColor(Qt::white), QColor(Qt::blue)));

        Placeholder placeholder("wifi.slash", "", std::nullopt);
        placeholder.resize(100, Placeholder::blockHeight);
        image = render(placeholder);
        int sharp = 0; // 2×2 blocks of more than one colour
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2) {
                const QRgb first = image.pixel(x, y);
                sharp += image.pixel(x + 1, y) != first || image.pixel(x, y + 1) != first ||
                         image.pixel(x + 1, y + 1) != first;
            }
        QVERIFY2(sharp > 20, qPrintable(QString::number(sharp)));
    }

    // A widget drawn once, changed, and drawn again at the same size shows the change.
    void widgetsShowTheirNewState() {
        LineText text(Fonts::font(13), Palette::primaryText()),
            tinted(Fonts::font(13), Palette::primaryText());
        for (LineText* line : {&text, &tinted})
            line->setText("Bedroom");
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

QTEST_MAIN(StyleTest)
#include "tst_style.moc"
