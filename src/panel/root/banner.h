#pragma once

#include "panel/animation/spring.h"

#include <QString>
#include <QWidget>

class AppModel;

// The model's transient message, in a red rounded bar near the top of the panel. It slides
// down from the top edge and fades in when a message arrives, and back out when it goes; a
// click anywhere on it dismisses it.
class Banner : public QWidget {
    Q_OBJECT
public:
    explicit Banner(AppModel& model, QWidget* parent = nullptr);

    // Places the bar in its parent: `top` points below the parent's top edge when fully shown.
    void place(int top);

    // The message shown, which stays while the bar leaves.
    QString text() const { return message; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void follow();
    int barHeight(int width) const;

    AppModel& model;
    QString message;
    int restingTop = 0;
    Spring presence{0.35, 1}; // 0 hidden above the panel, 1 in place
};
