#pragma once

#include "panel/animation/piece_effect.h"
#include "panel/animation/spring.h"

#include <QObject>

class QWidget;

// A piece of a card that comes in: while not shown it is transparent, `rise` points lower,
// scaled by `scale` and blurred by 6 points; shown, it is opaque, in place and sharp. Changes
// spring (0.55 s, 0.82) after a delay. At rest and shown the effect is switched off.
class Entrance : public QObject {
    Q_OBJECT
public:
    Entrance(QWidget* piece, qreal rise, qreal scale);

    void setShown(bool shown, double delay);
    // Jumps to the state, without animation.
    void jump(bool shown);

private:
    void apply(double progress);

    QWidget* piece;
    qreal rise;
    qreal scale;
    PieceEffect* effect;
    Spring motion{0.55, 0.82};
};
