#pragma once

#include "panel/root/root_view.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

class AppModel;
class QKeyEvent;
class QVBoxLayout;

// The window that holds the panel's content. As a popup it sits against the tray icon and
// closes when the user clicks elsewhere; as an ordinary window it stands in for a missing tray.
// The content (RootView) exists only while the window is shown, and the window is always as
// large as the content asks. While shown it takes the panel's keyboard shortcuts, wherever the
// focus is inside it.
class PanelWindow : public QWidget {
    Q_OBJECT
public:
    enum class Kind { popup, window };

    PanelWindow(AppModel& model, Kind kind);
    ~PanelWindow() override;

    Kind kind() const { return windowKind; }
    RootView* content() const { return rootView; }

    // Builds the content and shows the window, as a popup against `anchor` (the tray icon's
    // global rectangle; empty when the tray does not say), else near the pointer.
    void open(const QRect& anchor);
    // Builds the content once, unseen, and drops it at once: the font faces, text shapes and
    // pictures it needs stay cached, so that the first open costs no more than later ones.
    // Nothing of it runs afterwards. Does nothing while the content exists.
    void prepare();
    // Hides the window and makes it a popup, for a tray that came after the start.
    void becomePopup();

    // Where a popup of `size` goes: centred under an anchor in the upper half of the screen,
    // above one in the lower half, at the pointer without an anchor; always inside `available`.
    static QRect placement(const QSize& size, const QRect& anchor, const QPoint& pointer,
                           const QRect& available);
    // Where it goes when the tray icon's place cannot be known (Wayland without XWayland):
    // centred at the top of `available`.
    static QRect topCentre(const QSize& size, const QRect& available);

Q_SIGNALS:
    // The window was hidden, by the user or by close(); the content is already gone.
    void closed();
    // A right click landed on the tray icon while the popup was open. The popup's pointer grab
    // keeps that click from the icon, so the popup passes it on.
    void iconMenuRequested(const QPoint& globalPosition);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void place();
    // The shortcuts: 1–9 pick a unit, the arrows step its target, P switches it, and inside
    // an open dropdown the arrows, Return and Escape choose. True when the key was used.
    bool useShortcut(QKeyEvent* event);

    AppModel& appModel;
    Kind windowKind;
    QVBoxLayout* column;
    QPointer<RootView> rootView;
    QRect iconRect;
    QPoint pointerAtOpen;
};
