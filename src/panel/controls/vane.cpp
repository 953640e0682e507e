#include "panel/controls/vane.h"

#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <cmath>
#include <numbers>

namespace {

QLineF line(const QRectF& frame, qreal aim) {
    const qreal theta = (aim * 52 + 6) * std::numbers::pi / 180;
    const qreal half = frame.width() / 2;
    const QPointF offset(half * std::cos(theta), half * std::sin(theta));
    return {frame.center() - offset, frame.center() + offset};
}

} // namespace

void Vane::paint(QPainter& painter, const QRectF& frame, qreal aim, const QPen& pen) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen);
    painter.drawLine(line(frame, aim));
    painter.restore();
}
