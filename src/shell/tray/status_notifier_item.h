#pragma once

#include "shell/tray/dbus_menu_exporter.h"
#include "shell/tray/notifier_types.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QPoint>

class QDBusServiceWatcher;
class QIcon;
class QMenu;

// The tray item as the desktop's StatusNotifierItem host sees it (GNOME's AppIndicator
// extension, KDE, XFCE, LXQt, waybar): its icon, tooltip and menu, and the reading as a label
// beside the icon where the host shows one. Served on `bus` at /StatusNotifierItem with the menu
// at /MenuBar, and registered with the host's watcher whenever one is on the bus: at once, when
// a bar starts after the app, and again when the watcher restarts.
// Hosts never say whether they show the label. The ones that do (GNOME's AppIndicator extension
// and the indicator services of Unity and Ayatana, which own the watcher themselves) are known
// by the watcher's program; hostShowsLabels() tells the item's owner which pixmaps to serve.
class StatusNotifierItem : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconName READ noName)
    Q_PROPERTY(NotifierTypes::Pixmaps IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ noName)
    Q_PROPERTY(NotifierTypes::Pixmaps OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ noName)
    Q_PROPERTY(NotifierTypes::Pixmaps AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ noName)
    Q_PROPERTY(QString IconThemePath READ noName)
    Q_PROPERTY(NotifierTypes::ToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menuPath)
    Q_PROPERTY(QString XAyatanaLabel READ label)
    Q_PROPERTY(QString XAyatanaLabelGuide READ labelGuide)
public:
    static const QString watcherService;

    // `rebuildMenu` refills `menu`; the item's host sees it through menuExporter().
    StatusNotifierItem(QMenu& menu, std::function<void()> rebuildMenu, QDBusConnection bus,
                       QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    // Whether a host's watcher is on `bus`.
    static bool watcherPresent(const QDBusConnection& bus);
    DBusMenuExporter& menuExporter() { return exporter; }
    // Whether the watcher that took the item is a host known to show its label.
    bool hostShowsLabels() const { return labelsShown; }

    void setIcon(const QIcon& icon);
    void setToolTip(const QString& text);
    // The text beside the icon, and a text as wide as it can grow (for hosts that keep room).
    void setLabel(const QString& text, const QString& guide);

    QString category() const { return QStringLiteral("Hardware"); }
    QString id() const { return QStringLiteral("alvore"); }
    QString title() const { return QStringLiteral("Alvore"); }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString noName() const { return {}; }
    NotifierTypes::Pixmaps iconPixmap() const { return pixmaps; }
    NotifierTypes::Pixmaps noPixmaps() const { return {}; }
    NotifierTypes::ToolTip toolTip() const { return {{}, {}, toolTipText, {}}; }
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menuPath() const;
    QString label() const { return labelText; }
    QString labelGuide() const { return labelGuideText; }

public Q_SLOTS:
    Q_SCRIPTABLE void Activate(int x, int y);
    Q_SCRIPTABLE void SecondaryActivate(int x, int y);
    Q_SCRIPTABLE void ContextMenu(int x, int y);
    Q_SCRIPTABLE void Scroll(int delta, const QString& orientation);

Q_SIGNALS:
    Q_SCRIPTABLE void NewTitle();
    Q_SCRIPTABLE void NewIcon();
    Q_SCRIPTABLE void NewAttentionIcon();
    Q_SCRIPTABLE void NewOverlayIcon();
    Q_SCRIPTABLE void NewToolTip();
    Q_SCRIPTABLE void NewStatus(const QString& status);
    Q_SCRIPTABLE void XAyatanaNewLabel(const QString& label, const QString& guide);

    // A click on the item, at a global position; (0, 0) when the host does not say where.
    void activated(const QPoint& at);
    void contextMenuRequested(const QPoint& at);
    // The watcher has taken the item; hostShowsLabels() says what it is.
    void registered();
    // The watcher has left the bus; it may come back, and registered() follows then.
    void watcherLost();

private:
    void registerWithWatcher();

    QDBusConnection connection;
    DBusMenuExporter exporter;
    QDBusServiceWatcher* watcher; // for a host that comes later or restarts
    NotifierTypes::Pixmaps pixmaps;
    QString toolTipText;
    QString labelText;
    QString labelGuideText;
    bool labelsShown = false;
};
