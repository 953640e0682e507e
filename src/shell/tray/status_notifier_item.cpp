#include "shell/tray/status_notifier_item.h"

#include "client/app_log.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QFile>
#include <QIcon>

const QString StatusNotifierItem::watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

namespace {
const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString menuBarPath = QStringLiteral("/MenuBar");
constexpr auto exported =
    QDBusConnection::ExportScriptableContents | QDBusConnection::ExportAllProperties;

// Whether the program that owns the watcher on `bus` draws an item's label beside its icon:
// GNOME's shell with the AppIndicator extension, and the indicator services of Unity and Ayatana
// (XFCE's and MATE's indicator applets). The name is the kernel's, cut to 15 characters.
bool watcherShowsLabels(const QDBusConnection& bus) {
    const QDBusConnectionInterface* interface = bus.interface();
    if (!interface)
        return false;
    const QDBusReply<uint> pid = interface->servicePid(StatusNotifierItem::watcherService);
    if (!pid.isValid())
        return false;
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid.value()));
    if (!comm.open(QIODevice::ReadOnly))
        return false;
    const QByteArray program = comm.readAll().trimmed();
    for (const char* shows :
         {"gnome-shell", "indicator-appli", "ayatana-indicat", "unity-panel-ser"})
        if (program == shows)
            return true;
    return false;
}
} // namespace

StatusNotifierItem::StatusNotifierItem(QMenu& menu, std::function<void()> rebuildMenu,
                                       QDBusConnection bus, QObject* parent)
    : QObject(parent), connection(std::move(bus)), exporter(menu, std::move(rebuildMenu)),
      watcher(new QDBusServiceWatcher(watcherService, connection,
                                      QDBusServiceWatcher::WatchForRegistration |
                                          QDBusServiceWatcher::WatchForUnregistration,
                                      this)) {
    NotifierTypes::registerTypes();
    if (!connection.registerObject(itemPath, this, exported) ||
        !connection.registerObject(menuBarPath, &exporter, exported))
        AppLog::write(QStringLiteral("cannot serve the tray item on the session bus"));
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this,
            &StatusNotifierItem::registerWithWatcher);
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this,
            &StatusNotifierItem::watcherLost);
    if (watcherPresent(connection))
        registerWithWatcher();
}

StatusNotifierItem::~StatusNotifierItem() {
    connection.unregisterObject(menuBarPath);
    connection.unregisterObject(itemPath);
}

bool StatusNotifierItem::watcherPresent(const QDBusConnection& bus) {
    const QDBusConnectionInterface* interface = bus.interface();
    return interface && interface->isServiceRegistered(watcherService).value();
}

void StatusNotifierItem::registerWithWatcher() {
    QDBusMessage call = QDBusMessage::createMethodCall(
        watcherService, QStringLiteral("/StatusNotifierWatcher"), watcherService,
        QStringLiteral("RegisterStatusNotifierItem"));
    call << connection.baseService();
    auto* pending = new QDBusPendingCallWatcher(connection.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                if (call->isError()) {
                    AppLog::write(QStringLiteral("the tray watcher refused the item: ") +
                                  call->error().message());
                    return;
                }
                labelsShown = watcherShowsLabels(connection);
                Q_EMIT registered();
            });
}

QDBusObjectPath StatusNotifierItem::menuPath() const {
    return QDBusObjectPath(menuBarPath);
}

void StatusNotifierItem::setIcon(const QIcon& icon) {
    pixmaps = NotifierTypes::pixmaps(icon);
    Q_EMIT NewIcon();
}

void StatusNotifierItem::setToolTip(const QString& text) {
    if (text == toolTipText)
        return;
    toolTipText = text;
    Q_EMIT NewToolTip();
}

void StatusNotifierItem::setLabel(const QString& text, const QString& guide) {
    if (text == labelText && guide == labelGuideText)
        return;
    labelText = text;
    labelGuideText = guide;
    Q_EMIT XAyatanaNewLabel(labelText, labelGuideText);
}

void StatusNotifierItem::Activate(int x, int y) {
    Q_EMIT activated(QPoint(x, y));
}

void StatusNotifierItem::SecondaryActivate(int x, int y) {
    Q_EMIT activated(QPoint(x, y));
}

void StatusNotifierItem::ContextMenu(int x, int y) {
    Q_EMIT contextMenuRequested(QPoint(x, y));
}

void StatusNotifierItem::Scroll(int, const QString&) {
}
