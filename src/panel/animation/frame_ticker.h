#pragma once

#include "panel/animation/animation.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

// Drives every running animation from one ~60 fps timer that runs only while at least one
// animation moves. Views use shared(); tests make their own and step it with advance().
class FrameTicker : public QObject {
    Q_OBJECT
public:
    explicit FrameTicker(QObject* parent = nullptr);

    static FrameTicker* shared();

    // While instant, animations jump to their final values: for still previews and for a
    // desktop that asks for reduced motion. Switching it on finishes what is running.
    bool isInstant() const { return instant; }
    void setInstant(bool on);

    bool isRunning() const { return !animations.isEmpty(); }
    // Steps every running animation by `seconds`.
    void advance(double seconds);

private:
    friend class Animation;
    void add(Animation* animation);
    void remove(Animation* animation);
    void frame();

    QTimer timer;
    QElapsedTimer sinceFrame;
    QList<Animation*> animations;
    bool instant = false;
};
