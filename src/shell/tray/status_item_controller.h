#pragma once

#include "shell/tray/panel_window.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>
#include <memory>
#include <optional>
#include <tuple>

class AppModel;
class StatusNotifierItem;
struct Pod;
struct Settings;

// The app's permanent face: the tray item with its picture, tooltip and context menu, and the
// panel it opens. Everything it shows is redrawn from the model whenever the model changes.
// Where a StatusNotifierItem host's watcher is on the session bus (now or later) the item is
// served by StatusNotifierItem, with the reading as a label; otherwise by QSystemTrayIcon. Never
// both: the second would show a second icon. A watcher that leaves for good hands the item back
// to QSystemTrayIcon, as long as that is an XEmbed one (Qt settles that at the first tray icon).
// With "Show temperature" on, the icon is the room temperature in whole degrees, since most
// hosts show no label; only a host known to show the label gets the glyph beside it instead.
// Without a tray the panel is an ordinary window, shown at once; closing it ends the app. A tray
// that comes within a minute (a bar started beside the app at login) takes the app in: the window
// goes and the item shows. In the background the panel is a window too, but hidden until asked for,
// and the app runs on without it.
class StatusItemController : public QObject {
    Q_OBJECT
public:
    enum class Presentation { tray, window, background };

    StatusItemController(AppModel& model, Presentation presentation, QObject* parent = nullptr);
    ~StatusItemController() override;

    // The tray's tooltip on `pod`: "Alvore", "Alvore, Bedroom offline", "Alvore, Bedroom 24.6° ·
    // off" or "Alvore, Bedroom 24.6° · Cool to 22°".
    static QString label(const std::optional<Pod>& pod, bool offline, const Settings& settings);

    void show();
    void close();
    // The tray item's click: opens a closed panel and closes an open one, against the point
    // clicked when the tray says where that was.
    void toggle(const QPoint& clickedAt = {});
    bool isPanelShown() const;

    // Builds the context menu afresh into `menu`.
    void fillMenu(QMenu& menu);

    void updateIcon();
    // Redraws the tray's glyph for a dark (light lines) or light (dark lines) tray.
    void setDarkTray(bool dark);

    // What the tray shows now, for tests.
    QSystemTrayIcon& trayIcon() { return trayItem; }
    // The reading shown with the icon: empty, or a space and the reading ("&nbsp;23.4°").
    const QString& shownTitle() const { return shownTitleText; }
    // Runs from the watcher's leaving to the XEmbed icon's return; tests drive it.
    QTimer& watcherGrace() { return hostGrace; }
    PanelWindow& panel() { return panelWindow; }

private:
    // The item in the tray, with its menu, and the panel as a popup against it.
    void serveTray();
    // For a while after a start without a tray: a tray that comes takes the app in.
    void watchForTray();
    void takeTrayIfThere();
    void activated(QSystemTrayIcon::ActivationReason reason);
    void showAt(const QRect& anchor);
    // After a change the menu shows: rebuilt unless it is open.
    void refreshMenu();
    void panelHidden();
    void addUnit(QMenu& menu, const Pod& pod);
    void applyPreset(const QString& presetID);
    // Light lines, as the "Tray icon" setting or else the desktop's colours ask.
    bool lightInk() const;

    AppModel& appModel;
    Presentation shownAs;
    QMenu contextMenu;
    QSystemTrayIcon trayItem;
    std::unique_ptr<StatusNotifierItem> servedItem;
    PanelWindow panelWindow;
    QTimer hostGrace;
    QTimer trayLookout;
    QString shownTitleText;
    // What the icons were last drawn from: slashed, reading, light ink, glyph beside a label.
    std::optional<std::tuple<bool, QString, bool, bool>> shownLook;
    bool onDarkTray = true;
    // A click on the tray icon while the popup is open first closes the popup (the click lands
    // outside it), then reaches the icon; this tells the icon the panel has only just closed.
    QElapsedTimer sinceClose;
};
