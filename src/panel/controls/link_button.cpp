#include "panel/controls/link_button.h"

#include "panel/style/fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace {
QColor linkColor() {
    return QColor::fromRgbF(0.25f, 0.61f, 1.0f);
}
} // namespace

LinkButton::LinkButton(const QString& title, qreal points, QWidget* parent)
    : QAbstractButton(parent) {
    setText(title);
    setFont(Fonts::font(points));
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

QSize LinkButton::sizeHint() const {
    const QFontMetricsF metrics(font());
    return {int(std::ceil(metrics.horizontalAdvance(text()))), int(std::ceil(metrics.height()))};
}

void LinkButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont shown = font();
    shown.setUnderline(underMouse());
    painter.setFont(shown);
    painter.setPen(isDown() ? linkColor().darker(120) : linkColor());
    painter.drawText(rect(), Qt::AlignCenter, text());
}
