#include "panel/animation/entrance.h"

#include <QWidget>
#include <algorithm>

namespace {
constexpr qreal hiddenBlur = 6;
} // namespace

Entrance::Entrance(QWidget* piece, qreal rise, qreal scale)
    : QObject(piece), piece(piece), rise(rise), scale(scale), effect(new PieceEffect) {
    piece->setGraphicsEffect(effect);
    connect(&motion, &Animation::valueChanged, this, &Entrance::apply);
    apply(motion.value());
}

void Entrance::setShown(bool shown, double delay) {
    motion.animateTo(shown ? 1 : 0, std::max(0.0, delay));
}

void Entrance::jump(bool shown) {
    motion.setValue(shown ? 1 : 0);
    apply(motion.value());
}

void Entrance::apply(double progress) {
    const qreal hidden = 1 - progress;
    effect->setOpacity(progress);
    effect->setOffset(rise * hidden);
    effect->setScale(scale + (1 - scale) * progress);
    effect->setBlur(hiddenBlur * std::clamp<qreal>(hidden, 0, 1));
    // Springs settle exactly on their goal, so the shown piece at rest costs nothing.
    effect->setEnabled(progress != 1);
}
