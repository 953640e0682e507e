#include "panel/controls/prominent_button.h"

#include "panel/controls/spinner.h"
#include "panel/style/fonts.h"
#include "panel/style/palette.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace {

constexpr int spinnerSide = 12;
constexpr qreal spinnerGap = 8;
constexpr qreal horizontalPadding = 14;

QColor lighter(const QColor& color, qreal by) {
    return QColor::fromRgbF(float(color.redF() + (1 - color.redF()) * by),
                            float(color.greenF() + (1 - color.greenF()) * by),
                            float(color.blueF() + (1 - color.blueF()) * by));
}

} // namespace

ProminentButton::ProminentButton(const QString& title, Size size, QWidget* parent)
    : QAbstractButton(parent), size(size), spinner(new Spinner(spinnerSide, this)) {
    setText(title);
    setFont(Fonts::font(size == Size::large ? 13 : 12, QFont::Medium));
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    spinner->setColor(Palette::white(0.9));
    spinner->hide();
}

void ProminentButton::setBusy(bool value) {
    busy = value;
    spinner->setVisible(busy);
    placeSpinner();
    update();
}

qreal ProminentButton::contentWidth() const {
    const qreal title = QFontMetricsF(font()).horizontalAdvance(text());
    return busy ? spinnerSide + spinnerGap + title : title;
}

QSize ProminentButton::sizeHint() const {
    const int height = size == Size::large ? 30 : 24;
    return {int(std::ceil(contentWidth() + 2 * horizontalPadding)), height};
}

void ProminentButton::placeSpinner() {
    const qreal left = (width() - contentWidth()) / 2;
    spinner->move(int(std::round(left)), (height() - spinnerSide) / 2);
}

void ProminentButton::resizeEvent(QResizeEvent* event) {
    placeSpinner();
    QAbstractButton::resizeEvent(event);
}

void ProminentButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = Palette::cool();
    if (!isEnabled())
        fill = Palette::white(0.12);
    else if (isDown())
        fill = fill.darker(115);
    else if (underMouse())
        fill = lighter(fill, 0.08);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()), 6, 6);

    painter.setFont(font());
    painter.setPen(isEnabled() || busy ? Palette::primaryText() : Palette::tertiaryText());
    const QFontMetricsF metrics(font());
    const qreal left = (width() - contentWidth()) / 2 + (busy ? spinnerSide + spinnerGap : 0);
    const qreal baseline = (height() + metrics.ascent() - metrics.descent()) / 2;
    painter.drawText(QPointF(left, baseline), text());
}
