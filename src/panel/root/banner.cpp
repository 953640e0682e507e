#include "panel/root/banner.h"

#include "model/app_model.h"
#include "panel/animation/view_environment.h"
#include "panel/style/fonts.h"
#include "panel/style/icons.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
constexpr int outerInset = 12;
constexpr int innerHorizontal = 12;
constexpr int innerVertical = 8;
constexpr qreal iconGap = 6;
constexpr qreal radius = 10;
const QString symbol = QStringLiteral("exclamationmark.triangle.fill");

QFont bannerFont() {
    return Fonts::font(12, QFont::Medium);
}

qreal iconSide() {
    return Icons::sideForText(12);
}

QColor barColor() {
    return QColor::fromRgbF(0.55f, 0.16f, 0.14f);
}

// The text's box when wrapped into `width`.
QRectF textBounds(const QString& text, qreal width) {
    return QFontMetricsF(bannerFont())
        .boundingRect(QRectF(0, 0, width, 10'000), Qt::TextWordWrap, text);
}

qreal textWidth(int barWidth) {
    return barWidth - 2 * innerHorizontal - iconSide() - iconGap;
}
} // namespace

Banner::Banner(AppModel& model, QWidget* parent) : QWidget(parent), model(model) {
    setCursor(Qt::PointingHandCursor);
    hide();
    connect(&presence, &Animation::valueChanged, this, &Banner::follow);
    connect(&model, &AppModel::bannerChanged, this, [this] {
        const std::optional<QString>& banner = this->model.banner();
        if (banner) {
            message = *banner;
            setAccessibleName(message);
            // A screen reader says a new message at once, wherever the user is.
            QAccessibleEvent alert(this, QAccessible::Alert);
            QAccessible::updateAccessibility(&alert);
        }
        const double goal = banner ? 1 : 0;
        if (ViewEnvironment::renderingPreview())
            presence.setValue(goal);
        else
            presence.animateTo(goal);
        follow();
    });
    if (model.banner()) {
        message = *model.banner();
        setAccessibleName(message);
        presence.setValue(1);
    }
}

int Banner::barHeight(int width) const {
    const qreal text = textBounds(message, textWidth(width)).height();
    return int(std::ceil(std::max(text, iconSide()) + 2 * innerVertical));
}

void Banner::place(int top) {
    restingTop = top;
    follow();
}

void Banner::follow() {
    if (!parentWidget())
        return;
    const double shown = presence.value();
    const int width = parentWidget()->width() - 2 * outerInset;
    const int height = barHeight(width);
    // Fully hidden, the bar sits just above the parent's top edge.
    const int top = int(std::round(-height + (restingTop + height) * shown));
    setGeometry(outerInset, top, width, height);
    setVisible(shown > 0.001 || model.banner().has_value());
    raise();
    update();
}

void Banner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(std::clamp(presence.value(), 0.0, 1.0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(barColor());
    painter.drawRoundedRect(QRectF(rect()), radius, radius);

    const qreal side = iconSide();
    const qreal wrap = textWidth(width());
    const QRectF text = textBounds(message, wrap);
    const qreal middle = height() / 2.0;
    Icons::paint(painter, QRectF(innerHorizontal, middle - side / 2, side, side), symbol, Qt::white,
                 QFont::DemiBold);
    painter.setFont(bannerFont());
    painter.setPen(Qt::white);
    painter.drawText(
        QRectF(innerHorizontal + side + iconGap, middle - text.height() / 2, wrap, text.height()),
        Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, message);
}

void Banner::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        model.clearBanner();
    QWidget::mouseReleaseEvent(event);
}
