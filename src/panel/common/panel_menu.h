#pragma once

#include "panel/animation/curve_animation.h"

#include <QPointer>
#include <QWidget>

class AppModel;
class QMenu;

// The gear button with the panel's menu: refresh, settings, "Exit Demo" in the demo, quit.
// `compact` draws it smaller, for the title row of a single unit.
class PanelMenu : public QWidget {
    Q_OBJECT
public:
    explicit PanelMenu(AppModel& model, bool compact = false, QWidget* parent = nullptr);
    // Opens the menu under the button, as a click does.
    void openMenu();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    AppModel& model;
    bool compact;
    QPointer<QMenu> menu;
    CurveAnimation hover{CubicBezier::easeOut(), 0.15}; // 1 while the pointer is over it
};
