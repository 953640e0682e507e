#pragma once

#include <QObject>
#include <QPointer>

class FrameTicker;

// A number that moves toward a target over time, stepped frame by frame by a FrameTicker.
// Subclasses give the motion (a spring, a timing curve).
class Animation : public QObject {
    Q_OBJECT
public:
    ~Animation() override;

    double value() const { return current; }
    // Where the animation comes to rest, including a target still waiting for its delay.
    double target() const { return waiting ? pendingGoal : goal; }
    bool isAnimating() const { return moving || waiting; }

    // Shows `value` at once and ends any movement.
    void setValue(double value);
    // Moves to `target` after `delay` seconds; at once while the ticker is instant. During the
    // delay a movement already under way goes on toward the previous target.
    void animateTo(double target, double delay = 0);
    // Ends the movement at its final value.
    void finish();

Q_SIGNALS:
    void valueChanged(double value);

protected:
    Animation(FrameTicker* ticker, QObject* parent);

    double goalValue() const { return goal; }
    void show(double value);

    // The goal changed while the value stands where it is: set up the movement toward it.
    virtual void retarget() = 0;
    // Moves `seconds` forward, showing each new value; returns false once at rest on the goal.
    virtual bool step(double seconds) = 0;
    // Forgets the motion (velocity, progress) when the value is set directly.
    virtual void rest() = 0;

private:
    friend class FrameTicker;
    void tick(double seconds);
    void stop();

    QPointer<FrameTicker> ticker;
    double current = 0;
    double goal = 0;
    double pendingGoal = 0;
    double delayLeft = 0;
    bool moving = false;
    bool waiting = false;
};
