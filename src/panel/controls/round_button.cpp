#include "panel/controls/round_button.h"

#include "panel/style/icons.h"
#include "panel/style/palette.h"

#include <QPainter>

RoundButton::RoundButton(const QString& systemImage, int size, QWidget* parent)
    : QAbstractButton(parent), symbol(systemImage), side(size) {
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (onClick)
            onClick();
    });
}

void RoundButton::setHelp(const QString& help) {
    setToolTip(help);
    setAccessibleName(help);
}

void RoundButton::paintEvent(QPaintEvent*) {
    const bool enabled = isEnabled();
    const bool lit = underMouse() && enabled;
    picture.paint(*this, {symbol, enabled, lit}, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Palette::white(lit ? 0.16 : 0.09));
        painter.drawEllipse(QRectF(rect()));

        const qreal iconSide = Icons::sideForText(side * 0.42);
        const QPointF centre = QRectF(rect()).center();
        Icons::paint(
            painter, QRectF(centre - QPointF(iconSide, iconSide) / 2, QSizeF(iconSide, iconSide)),
            symbol, enabled ? Palette::primaryText() : Palette::tertiaryText(), QFont::Bold);
    });
}
