#include "panel/controls/line_text.h"

#include "panel/style/fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

LineText::LineText(const QFont& font, const QColor& color, QWidget* parent)
    : QWidget(parent), color(color) {
    setFont(font);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void LineText::setText(const QString& text) {
    if (text == shown)
        return;
    shown = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

void LineText::setColor(const QColor& value) {
    color = value;
    update();
}

void LineText::setTabularDigits(bool value) {
    tabular = value;
    updateGeometry();
    update();
}

QSize LineText::sizeHint() const {
    const QFontMetricsF metrics(font());
    const qreal width =
        tabular ? Fonts::tabularWidth(font(), shown) : metrics.horizontalAdvance(shown);
    return {int(std::ceil(width)), int(std::ceil(metrics.height()))};
}

QSize LineText::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

void LineText::paintEvent(QPaintEvent*) {
    picture.paint(*this, {shown, color, tabular}, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(color);
        const QFontMetricsF metrics(font());
        const QPointF origin(0, (height() + metrics.ascent() - metrics.descent()) / 2);
        if (tabular && Fonts::tabularWidth(font(), shown) <= width())
            Fonts::drawTabular(painter, origin, shown);
        else
            painter.drawText(origin, metrics.elidedText(shown, Qt::ElideRight, width()));
    });
}
