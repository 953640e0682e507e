#include "panel/style/icons.h"

#include "panel/style/panel_resources.h"

#include <QDir>
#include <QFile>
#include <QIconEngine>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

namespace {

const QString iconFolder = QStringLiteral(":/alvore/icons/");
const QString fallbackSymbol = QStringLiteral("circle.dotted");

QString resourcePath(const QString& symbol) {
    loadPanelResources();
    const QString path = iconFolder + symbol + QStringLiteral(".svg");
    return QFile::exists(path) ? path : iconFolder + fallbackSymbol + QStringLiteral(".svg");
}

// The icons are drawn with a 2-unit stroke on a 24-unit grid; weights thicken or thin it.
double strokeWidth(QFont::Weight weight) {
    return std::max(1.5, 2 + (int(weight) - 400) / 500.0);
}

QByteArray tintedSvg(const QString& symbol, const QColor& color, QFont::Weight weight) {
    QFile file(resourcePath(symbol));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray svg = file.readAll();
    // Lucide draws outlines only; a filled symbol ("lock.fill") gets its body, the icon's
    // rectangles, filled too.
    if (symbol.endsWith(QStringLiteral(".fill")))
        svg.replace("<rect ", "<rect fill=\"currentColor\" ");
    svg.replace("currentColor", color.name(QColor::HexRgb).toLatin1());
    svg.replace("stroke-width=\"2\"",
                "stroke-width=\"" + QByteArray::number(strokeWidth(weight)) + "\"");
    return svg;
}

class SymbolIconEngine : public QIconEngine {
public:
    SymbolIconEngine(const QString& symbol, const QColor& color, QFont::Weight weight)
        : symbol(symbol), color(color), weight(weight) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        Icons::paint(*painter, rect, symbol, tint(mode), weight);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        return Icons::pixmap(symbol, std::min(size.width(), size.height()), tint(mode), 1, weight);
    }

    QIconEngine* clone() const override { return new SymbolIconEngine(symbol, color, weight); }

private:
    QColor tint(QIcon::Mode mode) const {
        QColor shown = color;
        if (mode == QIcon::Disabled)
            shown.setAlphaF(shown.alphaF() * 0.4f);
        return shown;
    }

    QString symbol;
    QColor color;
    QFont::Weight weight;
};

} // namespace

QStringList Icons::names() {
    loadPanelResources();
    QStringList names;
    for (const QString& file : QDir(iconFolder).entryList(QDir::Files, QDir::Name))
        names.append(file.chopped(4));
    return names;
}

bool Icons::contains(const QString& symbol) {
    loadPanelResources();
    return QFile::exists(iconFolder + symbol + QStringLiteral(".svg"));
}

qreal Icons::sideForText(qreal points) {
    return points * 1.2;
}

QPixmap Icons::pixmap(const QString& symbol, qreal side, const QColor& color,
                      qreal devicePixelRatio, QFont::Weight weight) {
    const int pixels = std::max(1, int(std::ceil(side * devicePixelRatio - 1e-6)));
    const QString key = QStringLiteral("alvore.icon|%1|%2|%3|%4|%5")
                            .arg(symbol)
                            .arg(pixels)
                            .arg(devicePixelRatio)
                            .arg(color.rgba(), 0, 16)
                            .arg(int(weight));
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;

    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(tintedSvg(symbol, color, weight));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, pixels, pixels));
    if (color.alpha() < 255) {
        // Fading the whole image keeps overlapping strokes from adding up.
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.fillRect(image.rect(), QColor(0, 0, 0, color.alpha()));
    }
    painter.end();
    image.setDevicePixelRatio(devicePixelRatio);

    QPixmap result = QPixmap::fromImage(std::move(image));
    QPixmapCache::insert(key, result);
    return result;
}

qreal Icons::pixelRatio(const QPainter& painter) {
    // While a widget is drawn into another device (QWidget::render), the painter's device is
    // the widget; the pixels land in its engine's.
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* device =
        engine && engine->paintDevice() ? engine->paintDevice() : painter.device();
    const qreal scale = std::sqrt(std::abs(painter.worldTransform().determinant()));
    return device->devicePixelRatioF() * std::max(scale, 1e-3);
}

void Icons::paint(QPainter& painter, const QRectF& rect, const QString& symbol, const QColor& color,
                  QFont::Weight weight) {
    const qreal side = std::min(rect.width(), rect.height());
    if (side <= 0)
        return;
    const qreal ratio = pixelRatio(painter);
    const QPixmap icon = pixmap(symbol, side, color, ratio, weight);
    const QSizeF drawn = QSizeF(icon.size()) / ratio;
    painter.drawPixmap(QRectF(rect.center() - QPointF(drawn.width(), drawn.height()) / 2, drawn),
                       icon, QRectF(icon.rect()));
}

QIcon Icons::icon(const QString& symbol, const QColor& color, QFont::Weight weight) {
    return QIcon(new SymbolIconEngine(symbol, color, weight));
}
