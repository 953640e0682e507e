#pragma once

#include <QPointer>
#include <QWidget>

class QKeyEvent;

// The ring around the control that has the keyboard focus, in the accent colour, drawn over
// everything else in `area` (a widget that fills its window). It shows only after the focus
// moved by Tab or Shift+Tab, so that clicks and opening the window draw no ring; the painted
// controls have no focus look of their own.
class FocusRing : public QWidget {
    Q_OBJECT
public:
    explicit FocusRing(QWidget* area);

    // The control the ring is around, if it shows.
    QWidget* target() const { return shown; }
    // Return and Enter press the focused button, as Space does; a window's view calls this
    // with the key events its controls leave to it. Whether the key was used.
    static bool press(QKeyEvent* event, QWidget* focus);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow();

    QPointer<QWidget> shown;
};
