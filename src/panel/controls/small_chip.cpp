#include "panel/controls/small_chip.h"

#include "panel/style/fonts.h"
#include "panel/style/icons.h"
#include "panel/style/palette.h"

#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace {

constexpr qreal narrowest = 34;
constexpr qreal inset = 10;
constexpr qreal spacing = 4;
constexpr qreal longestLabel = 150;

qreal iconSide() {
    return Icons::sideForText(SmallChip::textPoints);
}

} // namespace

SmallChip::SmallChip(const QString& text, QWidget* parent) : QAbstractButton(parent), label(text) {
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    setFont(Fonts::font(textPoints, QFont::Medium));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(text);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (onClick)
            onClick();
    });
}

void SmallChip::setSymbol(const QString& value) {
    symbol = value;
    updateGeometry();
    update();
}

void SmallChip::setSelected(bool value) {
    if (selected == value)
        return;
    selected = value;
    update();
}

void SmallChip::setHelp(const QString& help) {
    setToolTip(help);
    if (label.isEmpty())
        setAccessibleName(help);
}

void SmallChip::setContextAction(std::function<void(const QPoint&)> action) {
    onContext = std::move(action);
}

QString SmallChip::shownLabel() const {
    return QFontMetricsF(font()).elidedText(label, Qt::ElideRight, longestLabel);
}

QSize SmallChip::sizeHint() const {
    qreal content = QFontMetricsF(font()).horizontalAdvance(shownLabel());
    if (!symbol.isEmpty())
        content += iconSide() + (label.isEmpty() ? 0 : spacing);
    return {int(std::ceil(std::max(narrowest, content + 2 * inset))), chipHeight};
}

void SmallChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(rect());
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::white(selected ? 0.16 : underMouse() ? 0.10 : 0.05));
    painter.drawRoundedRect(bounds, bounds.height() / 2, bounds.height() / 2);

    const QString text = shownLabel();
    const QFontMetricsF metrics(font());
    const qreal side = symbol.isEmpty() ? 0 : iconSide();
    const qreal gap = symbol.isEmpty() || text.isEmpty() ? 0 : spacing;
    const qreal content = side + gap + metrics.horizontalAdvance(text);
    qreal x = bounds.center().x() - content / 2;
    if (!symbol.isEmpty()) {
        Icons::paint(painter, QRectF(x, bounds.center().y() - side / 2, side, side), symbol,
                     Palette::primaryText(), QFont::Medium);
        x += side + gap;
    }
    painter.setFont(font());
    painter.setPen(Palette::primaryText());
    painter.drawText(QRectF(x, 0, bounds.right() - x, bounds.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text);
}

void SmallChip::contextMenuEvent(QContextMenuEvent* event) {
    if (!onContext) {
        event->ignore();
        return;
    }
    event->accept();
    onContext(event->globalPos());
}
