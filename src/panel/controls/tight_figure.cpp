#include "panel/controls/tight_figure.h"

#include "panel/style/fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace {

constexpr qreal figurePoints = 96;
constexpr qreal degreePoints = 57.6;
constexpr qreal degreeRaise = 25.92;
constexpr qreal tracking = -5;
constexpr qreal trimmed = 11;
const QString degree = QStringLiteral("°");

QFont figureFont() {
    QFont font = Fonts::font(figurePoints, QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    return font;
}

QFont degreeFont() {
    return Fonts::font(degreePoints, QFont::DemiBold);
}

// The digits and, apart, a trailing degree sign.
std::pair<QString, QString> split(const QString& text) {
    if (text.endsWith(degree))
        return {text.chopped(degree.size()), degree};
    return {text, {}};
}

} // namespace

TightFigure::TightFigure(QWidget* parent) : QWidget(parent), color(Qt::white) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void TightFigure::setText(const QString& text) {
    if (text == shown)
        return;
    shown = text;
    updateGeometry();
    update();
}

void TightFigure::setColor(const QColor& value) {
    color = value;
    update();
}

QSize TightFigure::sizeHint() const {
    const QSizeF size = measure(shown);
    return {int(std::ceil(size.width())), int(std::ceil(size.height()))};
}

QSizeF TightFigure::measure(const QString& text) {
    const auto [digits, sign] = split(text);
    const QFontMetricsF metrics(figureFont());
    qreal width = metrics.horizontalAdvance(digits);
    if (!sign.isEmpty())
        width += QFontMetricsF(degreeFont()).horizontalAdvance(sign);
    return {width, metrics.height() - 2 * trimmed};
}

void TightFigure::paint(QPainter& painter, const QRectF& rect, const QString& text,
                        const QColor& color) {
    const auto [digits, sign] = split(text);
    const QFont font = figureFont();
    const QFontMetricsF metrics(font);
    const QSizeF size = measure(text);
    const qreal left = rect.center().x() - size.width() / 2;
    const qreal baseline = rect.center().y() - size.height() / 2 + metrics.ascent() - trimmed;

    painter.save();
    painter.setPen(color);
    painter.setFont(font);
    painter.drawText(QPointF(left, baseline), digits);
    if (!sign.isEmpty()) {
        painter.setFont(degreeFont());
        painter.drawText(QPointF(left + metrics.horizontalAdvance(digits), baseline - degreeRaise),
                         sign);
    }
    painter.restore();
}

void TightFigure::paintEvent(QPaintEvent*) {
    picture.paint(*this, {shown, color}, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        paint(painter, QRectF(rect()), shown, color);
    });
}
