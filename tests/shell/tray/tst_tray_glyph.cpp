#include "panel/style/panel_resources.h"
#include "shell/tray/tray_glyph.h"

#include <QTest>

namespace {
// The pixel under a point of the 24-unit design in an image `pixels` wide.
int alphaAt(const QImage& image, QPointF design) {
    const qreal scale = image.width() / 24.0;
    return qAlpha(image.pixel(int(design.x() * scale), int(design.y() * scale)));
}
} // namespace

class TrayGlyphTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { loadPanelResources(); }

    void slashStandsFreeOfTheLinesItCrosses_data() {
        QTest::addColumn<int>("pixels");
        for (const int pixels : {48, 96})
            QTest::addRow("%d px", pixels) << pixels;
    }
    void slashStandsFreeOfTheLinesItCrosses() {
        QFETCH(int, pixels);
        const QImage plain = TrayGlyph::image(false, {}, pixels);
        const QImage slashed = TrayGlyph::image(true, {}, pixels);
        // Inside the unit's body, where only the slash passes.
        QVERIFY(alphaAt(plain, {8.7, 8.5}) < 16 && alphaAt(slashed, {8.7, 8.5}) > 200);
        // The vent beside the slash, inside the band it clears.
        QVERIFY(alphaAt(plain, {12.4, 10}) > 200 && alphaAt(slashed, {12.4, 10}) < 16);
        // Far from the slash both pictures agree: the body's left side, the vent's right end and
        // the first stream's top.
        for (const QPointF far : {QPointF(2.5, 8), QPointF(17, 10), QPointF(7.5, 15.6)}) {
            QVERIFY(alphaAt(plain, far) > 150);
            QCOMPARE(alphaAt(slashed, far), alphaAt(plain, far));
        }
    }

    void readingIsPartOfThePicture() {
        const QImage warm = TrayGlyph::image(false, QStringLiteral(" 24.6°"), 22);
        QVERIFY(warm != TrayGlyph::image(false, {}, 22));
        QVERIFY(warm != TrayGlyph::image(false, QStringLiteral(" 19.1°"), 22));
        // Legible at tray size: the reading spans most of the width of the lower half.
        int left = 22, right = -1;
        for (int y = 12; y < 22; ++y)
            for (int x = 0; x < 22; ++x)
                if (qAlpha(warm.pixel(x, y)) > 128)
                    left = std::min(left, x), right = std::max(right, x);
        QVERIFY(right - left >= 16);
    }
};

QTEST_MAIN(TrayGlyphTest)
#include "tst_tray_glyph.moc"
