#include "panel/card/card_glow.h"

#include "panel/airflow/airflow_view.h"
#include "panel/animation/piece_effect.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

namespace {

constexpr qreal radius = 260;
constexpr qreal hiddenScale = 0.55;
constexpr QPointF growAnchor(0.5, 0.2);
constexpr qreal singleFade = 0.16;

} // namespace

CardGlow::CardGlow(QWidget* parent)
    : QWidget(parent), air(new AirflowView(this)), effect(new PieceEffect), color(Qt::white) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGraphicsEffect(effect);
    connect(&presence, &Animation::valueChanged, this, &CardGlow::apply);
    connect(&growth, &Animation::valueChanged, this, &CardGlow::apply);
    apply();
}

void CardGlow::setColor(const QColor& glow) {
    if (glow == color)
        return;
    color = glow;
    update();
}

void CardGlow::setShape(const QPainterPath& shape, bool single) {
    if (shape != outline) {
        outline = shape;
        air->setClip(shape);
    }
    effect->setClip(shape);
    effect->setTopFade(single ? singleFade : 0);
    settle();
}

void CardGlow::setPresent(bool present, bool animate) {
    if (animate)
        presence.animateTo(present ? 1 : 0);
    else
        presence.setValue(present ? 1 : 0);
    apply();
}

void CardGlow::setEntered(bool entered, double delay) {
    growth.animateTo(entered ? 1 : 0, std::max(0.0, delay));
}

void CardGlow::jumpEntered(bool entered) {
    growth.setValue(entered ? 1 : 0);
}

void CardGlow::apply() {
    const qreal shown = std::clamp<qreal>(presence.value(), 0, 1);
    const qreal grown = growth.value();
    effect->setOpacity(shown * std::clamp<qreal>(grown, 0, 1));
    effect->setScale(hiddenScale + (1 - hiddenScale) * grown, growAnchor);
    settle();
    // Hidden while nothing of it shows, so that the airflow stops drawing.
    setVisible(presence.isAnimating() || presence.value() > 0);
}

void CardGlow::settle() {
    // At rest the effect would draw the layer straight through; switched off, it also stays out
    // of an off-screen render of the panel, which with it on places the layer a second time by
    // its offset in the panel.
    effect->setEnabled(!effect->isIdentity());
}

void CardGlow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    air->setGeometry(rect());
}

void CardGlow::paintEvent(QPaintEvent*) {
    // The airflow above repaints this layer on each of its frames; a gradient this large
    // costs far more to fill than to copy, so it is drawn once per size, colour and outline.
    picture.paint(*this, {color, outline}, [&](QPainter& painter) {
        QRadialGradient gradient(QPointF(width() * 0.5, height() * 0.34), radius);
        const auto stop = [&](qreal at, qreal opacity) {
            QColor tinted = color;
            tinted.setAlphaF(float(opacity));
            gradient.setColorAt(at, tinted);
        };
        stop(0, 0.7);
        stop(1.0 / 3, 0.3);
        stop(2.0 / 3, 0.09);
        stop(1, 0);
        painter.setRenderHint(QPainter::Antialiasing);
        if (!outline.isEmpty())
            painter.setClipPath(outline);
        painter.fillRect(rect(), gradient);
    });
}
