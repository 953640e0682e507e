#include "settings/setting_switch.h"

#include "panel/style/palette.h"

#include <QPainter>
#include <algorithm>

namespace {

constexpr qreal inset = 2;

} // namespace

SettingSwitch::SettingSwitch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setFixedSize(sizeHint());
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        if (isVisible())
            knob.animateTo(on ? 1 : 0);
        else
            knob.setValue(on ? 1 : 0);
    });
    connect(&knob, &Animation::valueChanged, this, qOverload<>(&QWidget::update));
}

void SettingSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const qreal progress = knob.value();
    const QRectF track(rect());
    const QColor on = isEnabled() ? Palette::cool() : Palette::white(0.3);
    painter.setBrush(Palette::mix(Palette::white(0.14), on, std::clamp(progress, 0.0, 1.0)));
    painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);
    if (hasFocus()) {
        painter.setPen(QPen(Palette::cool(), 1.5));
        painter.setBrush(Qt::NoBrush);
        const qreal half = track.height() / 2 - 0.75;
        painter.drawRoundedRect(track.adjusted(0.75, 0.75, -0.75, -0.75), half, half);
        painter.setPen(Qt::NoPen);
    }

    const qreal diameter = track.height() - 2 * inset;
    const qreal travel = track.width() - 2 * inset - diameter;
    painter.setBrush(isEnabled() ? QColor(Qt::white) : Palette::white(0.6));
    painter.drawEllipse(QRectF(inset + travel * progress, inset, diameter, diameter));
}
