#include "shell/tray/tray_glyph.h"

#include "panel/style/fonts.h"
#include "panel/style/palette.h"

#include <QFontMetricsF>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {
// The glyph is drawn on a square of 24 design units.
constexpr qreal designSide = 24;
constexpr qreal strokeWidth = 1.8; // 1.35 points on the 18-point item
constexpr qreal slashGap = 4.5;    // 3.375 points: what the slash clears before it is drawn
const QPointF slashFrom(3, 2.5);
const QPointF slashTo(21, 21.5);

QPen strokePen(qreal width, const QColor& color) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPainterPath unitOutline() {
    QPainterPath path;
    path.addRoundedRect(QRectF(2.5, 4, 19, 9), 2.6, 2.6);
    path.moveTo(6.5, 10);
    path.lineTo(17.5, 10);
    for (const qreal x : {7.5, 12.0, 16.5}) {
        path.moveTo(x, 15.5);
        path.cubicTo(x - 2.2, 17.2, x + 2.2, 19.3, x, 21);
    }
    return path;
}

// Draws the glyph into the square `side` units wide whose top left is the painter's origin.
void paintGlyph(QPainter& painter, qreal side, bool slashed, const QColor& ink) {
    painter.save();
    painter.scale(side / designSide, side / designSide);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(strokePen(strokeWidth, ink));
    painter.drawPath(unitOutline());
    if (slashed) {
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.setPen(strokePen(slashGap, Qt::transparent));
        painter.drawLine(slashFrom, slashTo);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setPen(strokePen(strokeWidth, ink));
        painter.drawLine(slashFrom, slashTo);
    }
    painter.restore();
}

// Draws `text` bold, centred on the square `side` pixels wide, as tall as the square allows
// while the text fits its width. A reading too wide for that is narrowed, down to a limit below
// which digits run together; past it, it gives up height instead.
void paintNumber(QPainter& painter, qreal side, const QString& text, const QColor& ink) {
    constexpr qreal tallest = 0.8;    // of the side: room for the descent of a minus or a comma
    constexpr qreal narrowest = 0.62; // the least width kept, against the height's scale
    constexpr qreal widest = 0.94;    // of the side: clear of the neighbouring icons
    QFont font = Fonts::font(10, QFont::Bold);
    font.setPixelSize(100);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -5);
    const QRectF inked = QFontMetricsF(font).tightBoundingRect(text);
    qreal high = side * tallest / inked.height();
    const qreal wide = std::min(high, side * widest / inked.width());
    high = std::min(high, wide / narrowest);
    painter.save();
    painter.translate(side / 2, side / 2);
    painter.scale(wide, high);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(-inked.center(), text);
    painter.restore();
}

// The sizes a tray may ask for: 16 to 48 pixels, and twice that for dense screens.
const QList<QSize> traySizes{{16, 16}, {22, 22}, {24, 24}, {32, 32},
                             {44, 44}, {48, 48}, {64, 64}, {96, 96}};

// Draws the picture in the size asked for when it is first asked for, and keeps it: a tray
// shows one size, and drawing all of them (the reading's bold face included) would hold back
// the icon's first appearance. Every mode shows the same picture; the tray item is never
// disabled.
class GlyphEngine : public QIconEngine {
public:
    GlyphEngine(bool slashed, const QString& reading, const QColor& ink)
        : slashed(slashed), reading(reading), ink(ink) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int pixels = std::max(1, std::min(size.width(), size.height()));
        if (const auto found = drawn.constFind(pixels); found != drawn.cend())
            return *found;
        QPixmap made = QPixmap::fromImage(TrayGlyph::image(slashed, reading, pixels, ink));
        drawn.insert(pixels, made);
        return made;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const int side = std::min(rect.width(), rect.height());
        const qreal ratio = painter->device()->devicePixelRatioF();
        QPixmap shown = pixmap(QSize(side, side) * ratio, mode, state);
        shown.setDevicePixelRatio(ratio);
        const QRect square(rect.center() - QPoint(side, side) / 2, QSize(side, side));
        painter->drawPixmap(square, shown);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return traySizes; }

    QIconEngine* clone() const override { return new GlyphEngine(slashed, reading, ink); }

    QString key() const override { return QStringLiteral("alvore.trayglyph"); }

private:
    bool slashed;
    QString reading;
    QColor ink;
    QHash<int, QPixmap> drawn;
};
} // namespace

namespace TrayGlyph {

QColor inkFor(bool darkTray) {
    return darkTray ? Palette::primaryText() : QColor::fromRgbF(0.1f, 0.1f, 0.1f);
}

QImage image(bool slashed, const QString& reading, int pixels, const QColor& ink) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QString text = reading.trimmed();
    if (text.isEmpty())
        paintGlyph(painter, pixels, slashed, ink);
    else
        paintNumber(painter, pixels, text, ink);
    return image;
}

QIcon icon(bool slashed, const QString& reading, const QColor& ink) {
    return QIcon(new GlyphEngine(slashed, reading, ink));
}

} // namespace TrayGlyph
