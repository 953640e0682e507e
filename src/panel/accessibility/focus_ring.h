#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

class QKeyEvent;

// The ring around the control that has the keyboard focus, in the accent colour, drawn over
// everything else in `area` (a widget that fills its window). It shows only after the focus
// moved by Tab or Shift+Tab, so that clicks and opening the window draw no ring; the painted
// controls have no focus look of their own. Return and Enter press the focused button, as
// Space does, except while `keysTaken` says another part has the keys (an open dropdown picks
// its highlighted row with Return).
class FocusRing : public QWidget {
    Q_OBJECT
public:
    explicit FocusRing(QWidget* area, std::function<bool()> keysTaken = {});

    // The control the ring is around, if it shows.
    QWidget* target() const { return shown; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow();
    bool press(QObject* watched, const QKeyEvent& key) const;

    QPointer<QWidget> shown;
    std::function<bool()> keysTaken;
};
