#include "panel/frame_ticker.h"

#include "client/application_wide.h"

#include <algorithm>

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

FrameTicker::FrameTicker(QObject* parent) : QObject(parent) {
    timer.setInterval(16);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &FrameTicker::frame);
}

FrameTicker* FrameTicker::shared() {
    return &applicationWide<FrameTicker>();
}

void FrameTicker::setInstant(bool on) {
    instant = on;
    if (on)
        for (const QPointer<Animation>& animation :
             QList<QPointer<Animation>>(animations.begin(), animations.end()))
            if (animation)
                animation->finish();
}

void FrameTicker::advance(double seconds) {
    // Animations may stop, start others or be deleted by what their values drive.
    const QList<QPointer<Animation>> running(animations.begin(), animations.end());
    for (const QPointer<Animation>& animation : running)
        if (animation && animations.contains(animation.data()))
            animation->tick(seconds);
}

void FrameTicker::add(Animation* animation) {
    if (!animations.contains(animation))
        animations.append(animation);
    if (!timer.isActive()) {
        sinceFrame.start();
        timer.start();
    }
}

void FrameTicker::remove(Animation* animation) {
    animations.removeOne(animation);
    if (animations.isEmpty())
        timer.stop();
}

void FrameTicker::frame() {
    advance(double(sinceFrame.restart()) / 1000.0);
}
