#pragma once

#include "panel/animation/curve_animation.h"
#include "panel/animation/spring.h"
#include "panel/style/paint_cache.h"

#include <QColor>
#include <QPainterPath>
#include <QWidget>
#include <utility>

class AirflowView;
class PieceEffect;

// The light behind a running unit's card: a radial glow in the unit's colour and the airflow
// over it, clipped to the card. It grows in from 55% as the card comes in, and fades when the
// unit stops.
class CardGlow : public QWidget {
    Q_OBJECT
public:
    static constexpr int layerHeight = 430;

    explicit CardGlow(QWidget* parent = nullptr);

    AirflowView& airflow() { return *air; }
    void setColor(const QColor& glow);
    // The card's outline in this layer's coordinates; `single` fades the layer in from the top.
    void setShape(const QPainterPath& shape, bool single);

    // Whether the unit runs: the glow fades in or out (at once without `animate`).
    void setPresent(bool present, bool animate);
    // The card's entrance: after `delay`, an ease-out growth to full size over 0.9 s.
    void setEntered(bool entered, double delay);
    void jumpEntered(bool entered);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void apply();
    // Switches the effect off while it changes nothing.
    void settle();

    AirflowView* air;
    PieceEffect* effect;
    QColor color;
    QPainterPath outline;
    PaintCache<std::pair<QColor, QPainterPath>> picture; // by colour and outline
    Spring presence{0.22, 0.85};
    CurveAnimation growth{CubicBezier::easeOut(), 0.9};
};
