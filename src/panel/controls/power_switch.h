#pragma once

#include "panel/animation/spring.h"
#include "panel/style/paint_cache.h"

#include <QAbstractButton>
#include <QColor>
#include <functional>
#include <utility>

// The on/off capsule of a unit. A click calls the action and leaves isOn alone: the caller sets
// it from the model, and the knob then springs across.
class PowerSwitch : public QAbstractButton {
    Q_OBJECT
public:
    explicit PowerSwitch(QWidget* parent = nullptr);

    bool isOn() const { return on; }
    void setOn(bool value);
    QColor tint() const { return tintColor; }
    void setTint(const QColor& tint);
    void setAction(std::function<void()> action) { onClick = std::move(action); }

    QSize sizeHint() const override { return {46, 26}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool on = false;
    QColor tintColor;
    std::function<void()> onClick;
    Spring knob{0.2, 0.85}; // 0 at the left end (off), 1 at the right end (on)
    PaintCache<std::pair<double, QColor>> picture; // by knob position and tint
};
