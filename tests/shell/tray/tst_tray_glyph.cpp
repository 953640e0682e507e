#include "panel/style/panel_resources.h"
#include "shell/tray/tray_glyph.h"

#include <QTest>

namespace {
// The height of the tallest shape of opaque pixels, touching side by side or one above another:
// a digit of a reading, or a part of the glyph.
int tallestShape(const QImage& image) {
    QList<bool> seen(image.width() * image.height());
    int tallest = 0;
    for (int start = 0; start < seen.size(); ++start) {
        QList<QPoint> open{{start % image.width(), start / image.width()}};
        int top = image.height(), bottom = -1;
        while (!open.isEmpty()) {
            const QPoint at = open.takeLast();
            const qsizetype index = at.y() * image.width() + at.x();
            if (!image.rect().contains(at) || seen[index] || qAlpha(image.pixel(at)) <= 128)
                continue;
            seen[index] = true;
            top = std::min(top, at.y()), bottom = std::max(bottom, at.y());
            open << at + QPoint(1, 0) << at - QPoint(1, 0) << at + QPoint(0, 1)
                 << at - QPoint(0, 1);
        }
        tallest = std::max(tallest, bottom - top + 1);
    }
    return tallest;
}
} // namespace

class TrayGlyphTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { loadPanelResources(); }

    // Where no label can show, the icon is the reading: digits most of the icon's height at
    // every size a tray uses, all of it inside the square, light for a dark bar and dark for a
    // light one.
    void readingFillsTheIcon() {
        for (const int pixels : {16, 22, 24, 32, 48})
            for (const char* reading : {"25°", "79°", "-3°"})
                for (const bool light : {true, false}) {
                    const QImage image =
                        TrayGlyph::image(false, reading, pixels, TrayGlyph::inkFor(light));
                    QRect inked;
                    QRgb opaque = 0;
                    for (int y = 0; y < pixels; ++y)
                        for (int x = 0; x < pixels; ++x)
                            if (const QRgb pixel = image.pixel(x, y); qAlpha(pixel) > 128) {
                                inked |= QRect(x, y, 1, 1);
                                if (qAlpha(pixel) > qAlpha(opaque))
                                    opaque = pixel;
                            }
                    const int tallest = tallestShape(image);
                    const QByteArray where = QByteArray(reading) + " at " +
                                             QByteArray::number(pixels) +
                                             " px: " + QByteArray::number(tallest) + " rows";
                    QVERIFY2(tallest >= 0.6 * pixels && inked.width() >= 0.6 * pixels, where);
                    QVERIFY2(light ? qGray(opaque) > 160 : qGray(opaque) < 96, where);
                }
        // A long reading is narrowed or made smaller, never cut off at the square's sides.
        const QImage hot = TrayGlyph::image(false, QStringLiteral("104°"), 22);
        for (int y = 0; y < 22; ++y)
            QVERIFY(qAlpha(hot.pixel(0, y)) < 200 && qAlpha(hot.pixel(21, y)) < 200);
        QVERIFY(hot != TrayGlyph::image(false, QStringLiteral("105°"), 22));
    }
};

QTEST_MAIN(TrayGlyphTest)
#include "tst_tray_glyph.moc"
