#include "panel/controls/control_well.h"

#include "panel/style/fonts.h"
#include "panel/style/palette.h"

#include <QPainter>
#include <QPen>

namespace {
constexpr qreal radius = 10;
constexpr qreal outline = 0.5;
} // namespace

QFont ControlWell::font() {
    return Fonts::font(12, QFont::Medium);
}

void ControlWell::paint(QPainter& painter, const QRectF& rect, bool active) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Palette::white(0.07), outline));
    painter.setBrush(Palette::white(active ? 0.07 : 0.03));
    const qreal half = outline / 2;
    painter.drawRoundedRect(rect.adjusted(half, half, -half, -half), radius, radius);
    painter.restore();
}
