#include "panel/controls/compact_label.h"

#include "panel/style/fonts.h"
#include "panel/style/icons.h"
#include "panel/style/palette.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr qreal spacing = 4;
// Icons in labels are drawn a step smaller than beside plain text.
constexpr qreal smallScale = 0.85;

qreal iconSide(const QFont& font) {
    return Icons::sideForText(Fonts::points(font)) * smallScale;
}

qreal textWidth(const CompactLabel::Content& content) {
    return content.tabularDigits ? Fonts::tabularWidth(content.font, content.text)
                                 : QFontMetricsF(content.font).horizontalAdvance(content.text);
}

} // namespace

CompactLabel::CompactLabel(const QString& symbol, const QString& text, QWidget* parent)
    : QWidget(parent), symbol(symbol), title(text), color(Palette::primaryText()) {
}

void CompactLabel::setSymbol(const QString& value) {
    symbol = value;
    updateGeometry();
    update();
}

void CompactLabel::setText(const QString& text) {
    title = text;
    updateGeometry();
    update();
}

void CompactLabel::setColor(const QColor& value) {
    color = value;
    update();
}

void CompactLabel::setTabularDigits(bool value) {
    tabular = value;
    updateGeometry();
    update();
}

QSize CompactLabel::sizeHint() const {
    const QSizeF size = measure(content());
    return {int(std::ceil(size.width())), int(std::ceil(size.height()))};
}

CompactLabel::Content CompactLabel::content() const {
    return {symbol, title, font(), color, tabular};
}

QSizeF CompactLabel::measure(const Content& content) {
    const qreal side = iconSide(content.font);
    return {side + spacing + textWidth(content),
            std::max(side, QFontMetricsF(content.font).height())};
}

void CompactLabel::paint(QPainter& painter, const QRectF& rect, const Content& content) {
    const qreal side = iconSide(content.font);
    const qreal middle = rect.center().y();
    Icons::paint(painter, QRectF(rect.left(), middle - side / 2, side, side), content.symbol,
                 content.color);

    painter.save();
    painter.setFont(content.font);
    painter.setPen(content.color);
    const QFontMetricsF metrics(content.font);
    const QPointF origin(rect.left() + side + spacing,
                         middle + (metrics.ascent() - metrics.descent()) / 2);
    if (content.tabularDigits)
        Fonts::drawTabular(painter, origin, content.text);
    else
        painter.drawText(origin, content.text);
    painter.restore();
}

void CompactLabel::paintEvent(QPaintEvent*) {
    const Content shown = content();
    picture.paint(*this, shown, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        paint(painter, QRectF(rect()), shown);
    });
}

void CompactLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}
