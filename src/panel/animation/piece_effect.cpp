#include "panel/animation/piece_effect.h"

#include <QLinearGradient>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {

// Room around the widget for a spring that overshoots the scale, and for the blur's spread.
constexpr qreal overshootMargin = 0.1;

} // namespace

PieceEffect::PieceEffect(QObject* parent) : QGraphicsEffect(parent) {
}

void PieceEffect::setOpacity(qreal value) {
    changeTo(opacity, std::clamp<qreal>(value, 0, 1));
}

void PieceEffect::setOffset(qreal value) {
    changeTo(offset, value);
}

void PieceEffect::setScale(qreal value, QPointF at) {
    if (value == scale && at == anchor)
        return;
    scale = value;
    anchor = at;
    changed();
}

void PieceEffect::setBlur(qreal radius) {
    changeTo(blur, std::max<qreal>(0, radius));
}

void PieceEffect::setClip(std::optional<QPainterPath> shape) {
    changeTo(clip, std::move(shape));
}

void PieceEffect::setTopFade(qreal fraction) {
    changeTo(topFade, std::max<qreal>(0, fraction));
}

bool PieceEffect::isIdentity() const {
    return opacity >= 1 && std::abs(offset) < 0.01 && std::abs(scale - 1) < 0.0005 && blur < 0.05 &&
           topFade <= 0;
}

void PieceEffect::changed() {
    updateBoundingRect();
    update();
}

QRectF PieceEffect::boundingRectFor(const QRectF& rect) const {
    const qreal grow = std::max<qreal>(0, scale - 1) + overshootMargin;
    const qreal dx = rect.width() * grow + 2 * blur;
    const qreal dy = rect.height() * grow + 2 * blur;
    return rect.adjusted(-dx, -dy + std::min<qreal>(0, offset), dx,
                         dy + std::max<qreal>(0, offset));
}

void PieceEffect::draw(QPainter* painter) {
    // Straight through, which would ignore a clip anyway.
    if (isIdentity()) {
        drawSource(painter);
        return;
    }
    if (opacity <= 0)
        return;
    painter->save();
    if (clip)
        painter->setClipPath(*clip, Qt::IntersectClip);

    QPoint origin;
    QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &origin, NoPad);
    const QSizeF size = pixmap.deviceIndependentSize();
    if (pixmap.isNull() || size.isEmpty()) {
        painter->restore();
        return;
    }
    if (topFade > 0) {
        QPainter mask(&pixmap);
        mask.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QLinearGradient fade(0, 0, 0, size.height() * topFade);
        fade.setColorAt(0, Qt::transparent);
        fade.setColorAt(1, Qt::black);
        mask.fillRect(QRectF(QPointF(0, 0), size), fade);
    }
    // A blur by drawing a smaller copy enlarged: cheap, and smooth enough for a moving piece.
    if (blur >= 0.05) {
        const qreal shrink = 1 + blur / 2;
        pixmap = pixmap.scaled((QSizeF(pixmap.size()) / shrink).toSize().expandedTo({1, 1}),
                               Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

    const QRectF frame(origin, size);
    const QPointF pivot(frame.left() + frame.width() * anchor.x(),
                        frame.top() + frame.height() * anchor.y());
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->setOpacity(painter->opacity() * opacity);
    painter->translate(0, offset);
    painter->translate(pivot);
    painter->scale(scale, scale);
    painter->translate(-pivot);
    painter->drawPixmap(frame, pixmap, QRectF(pixmap.rect()));
    painter->restore();
}
