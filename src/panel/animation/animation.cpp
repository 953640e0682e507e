#include "panel/animation/animation.h"

#include "panel/animation/frame_ticker.h"

Animation::Animation(FrameTicker* ticker, QObject* parent)
    : QObject(parent), ticker(ticker ? ticker : FrameTicker::shared()) {
}

Animation::~Animation() {
    stop();
}

void Animation::show(double value) {
    if (value == current)
        return;
    current = value;
    Q_EMIT valueChanged(value);
}

void Animation::setValue(double value) {
    stop();
    rest();
    goal = value;
    show(value);
}

void Animation::animateTo(double target, double delay) {
    if (!isAnimating() && target == current)
        return;
    if (!ticker || ticker->isInstant()) {
        setValue(target);
        return;
    }
    if (delay > 0) {
        waiting = true;
        pendingGoal = target;
        delayLeft = delay;
    } else {
        waiting = false;
        goal = target;
        retarget();
        moving = true;
    }
    ticker->add(this);
}

void Animation::finish() {
    if (isAnimating())
        setValue(target());
}

void Animation::tick(double seconds) {
    if (waiting) {
        const double waited = std::min(seconds, delayLeft);
        if (moving)
            moving = step(waited);
        delayLeft -= waited;
        seconds -= waited;
        if (delayLeft > 0)
            return;
        waiting = false;
        goal = pendingGoal;
        retarget();
        moving = true;
    }
    if (moving)
        moving = step(seconds);
    if (!moving)
        stop();
}

void Animation::stop() {
    moving = false;
    waiting = false;
    if (ticker)
        ticker->remove(this);
}
