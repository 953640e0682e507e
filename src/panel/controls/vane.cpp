#include "panel/controls/vane.h"

#include <QPainter>
#include <QPen>
#include <QRectF>
#include <cmath>
#include <numbers>

qreal Vane::angle(qreal aim) {
    return aim * 52 + 6;
}

QLineF Vane::line(const QRectF& frame, qreal aim) {
    const qreal theta = angle(aim) * std::numbers::pi / 180;
    const qreal half = frame.width() / 2;
    const QPointF offset(half * std::cos(theta), half * std::sin(theta));
    return {frame.center() - offset, frame.center() + offset};
}

void Vane::paint(QPainter& painter, const QRectF& frame, qreal aim, const QPen& pen) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen);
    painter.drawLine(line(frame, aim));
    painter.restore();
}
