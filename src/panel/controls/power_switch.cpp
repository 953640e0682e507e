#include "panel/controls/power_switch.h"

#include "panel/style/icons.h"
#include "panel/style/palette.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>

namespace {

constexpr qreal inset = 3;
constexpr qreal shadowRadius = 2.5;

} // namespace

PowerSwitch::PowerSwitch(QWidget* parent) : QAbstractButton(parent), tintColor(Palette::cool()) {
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::TabFocus);
    setToolTip(QStringLiteral("Turn on"));
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (onClick)
            onClick();
    });
    connect(&knob, &Animation::valueChanged, this, qOverload<>(&QWidget::update));
}

void PowerSwitch::setOn(bool value) {
    on = value;
    setToolTip(on ? QStringLiteral("Turn off") : QStringLiteral("Turn on"));
    if (isVisible())
        knob.animateTo(on ? 1 : 0);
    else
        knob.setValue(on ? 1 : 0);
}

void PowerSwitch::setTint(const QColor& tint) {
    tintColor = tint;
    update();
}

void PowerSwitch::paintEvent(QPaintEvent*) {
    const qreal progress = knob.value();
    picture.paint(*this, {progress, tintColor}, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF track(0, 0, 46, 26);

        painter.setPen(Qt::NoPen);
        painter.setBrush(
            Palette::mix(Palette::white(0.14), tintColor, std::clamp(progress, 0.0, 1.0)));
        painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);

        const qreal diameter = track.height() - 2 * inset;
        const qreal travel = track.width() - 2 * inset - diameter;
        const QRectF knobRect(inset + travel * progress, inset, diameter, diameter);

        // A soft shadow, a disc blurred by its radius, one point below the knob.
        const qreal radius = diameter / 2;
        QRadialGradient shadow(knobRect.center() + QPointF(0, 1), radius + shadowRadius);
        shadow.setColorAt((radius - shadowRadius) / (radius + shadowRadius), QColor(0, 0, 0, 64));
        shadow.setColorAt(1, QColor(0, 0, 0, 0));
        painter.setBrush(shadow);
        painter.drawEllipse(knobRect.center() + QPointF(0, 1), radius + shadowRadius,
                            radius + shadowRadius);

        painter.setBrush(Qt::white);
        painter.drawEllipse(knobRect);

        const qreal iconSide = Icons::sideForText(9);
        Icons::paint(
            painter,
            QRectF(knobRect.center() - QPointF(iconSide, iconSide) / 2, QSizeF(iconSide, iconSide)),
            QStringLiteral("power"), QColor::fromRgbF(0.45f, 0.45f, 0.45f), QFont::Bold);
    });
}
