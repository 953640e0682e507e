#include "panel/animation/frame_ticker.h"

#include "client/application_wide.h"

#include <algorithm>

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
