#pragma once

#include "panel/animation/spring.h"

#include <QAbstractButton>

// The settings window's on/off switch: a small capsule with a plain knob. It is a checkable
// button, so a click or the space key flips it and a screen reader reads it as on or off; the
// tab that owns it sets it again from the model, which has the last word.
class SettingSwitch : public QAbstractButton {
    Q_OBJECT
public:
    explicit SettingSwitch(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {32, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Spring knob{0.2, 0.85}; // 0 at the left end (off), 1 at the right end (on)
};
