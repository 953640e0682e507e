#include "panel/card/more_toggle.h"

#include "panel/style/fonts.h"
#include "panel/style/icons.h"
#include "panel/style/palette.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace {

constexpr qreal gap = 4;

qreal chevronSide() {
    return Icons::sideForText(8);
}

} // namespace

MoreToggle::MoreToggle(QWidget* parent) : QAbstractButton(parent) {
    setFont(Fonts::font(12, QFont::Medium));
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setExpanded(false);
}

void MoreToggle::setExpanded(bool value) {
    expanded = value;
    setText(expanded ? QStringLiteral("Less") : QStringLiteral("More"));
    setToolTip(expanded ? QStringLiteral("Hide swing, timer and presets")
                        : QStringLiteral("Swing, timer and presets"));
    updateGeometry();
    update();
}

void MoreToggle::setTurn(qreal fraction) {
    turn = fraction;
    update();
}

QSize MoreToggle::sizeHint() const {
    const QFontMetricsF metrics(font());
    const qreal width = std::max(metrics.horizontalAdvance(QStringLiteral("More")),
                                 metrics.horizontalAdvance(QStringLiteral("Less"))) +
                        gap + chevronSide();
    return {int(std::ceil(width)), int(std::ceil(std::max(metrics.height(), 20.0)))};
}

void MoreToggle::paintEvent(QPaintEvent*) {
    const bool hovered = underMouse();
    picture.paint(*this, {text(), hovered, turn}, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor color = hovered ? Palette::primaryText() : Palette::secondaryText();
        const QFontMetricsF metrics(font());
        const qreal side = chevronSide();
        const qreal total = metrics.horizontalAdvance(text()) + gap + side;
        const qreal left = (width() - total) / 2;
        const qreal middle = height() / 2.0;
        painter.setPen(color);
        painter.drawText(QPointF(left, middle + (metrics.ascent() - metrics.descent()) / 2),
                         text());

        const QPointF centre(left + total - side / 2, middle);
        painter.translate(centre);
        painter.rotate(180 * turn);
        Icons::paint(painter, QRectF(-side / 2, -side / 2, side, side),
                     QStringLiteral("chevron.down"), color, QFont::Bold);
    });
}
