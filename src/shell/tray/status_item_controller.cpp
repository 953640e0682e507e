#include "shell/tray/status_item_controller.h"

#include "model/app_model.h"
#include "shell/tray/status_notifier_item.h"
#include "shell/tray/tray_glyph.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QTimer>

namespace {
// How soon after a click closed the popup the same click may reach the tray icon.
constexpr qint64 closingClickMs = 400;
// How long after start-up the panel's first open is prepared: the icon is in the tray by then.
constexpr int prepareAfterMs = 500;
// How long a watcher may be gone before the XEmbed icon comes back: a bar that restarts is
// back well within it.
constexpr int watcherGraceMs = 5000;
// How long after a start without a tray, and how often, the app looks for one: a bar started
// beside it at login is up well within it.
constexpr int trayLookoutMs = 60000;
constexpr int trayLookoutEveryMs = 1000;
} // namespace

StatusItemController::StatusItemController(AppModel& model, Presentation presentation,
                                           QObject* parent)
    : QObject(parent), appModel(model), shownAs(presentation),
      panelWindow(model, presentation == Presentation::tray ? PanelWindow::Kind::popup
                                                            : PanelWindow::Kind::window) {
    connect(&panelWindow, &PanelWindow::closed, this, &StatusItemController::panelHidden);

    for (const auto changed :
         {&AppModel::statusChanged, &AppModel::podsChanged, &AppModel::lastUpdatedChanged,
          &AppModel::bannerChanged, &AppModel::selectedIDChanged, &AppModel::historyChanged,
          &AppModel::presetsChanged, &AppModel::dropdownChanged, &AppModel::settingsChanged,
          &AppModel::isDemoChanged, &AppModel::openCountChanged, &AppModel::apiKeyChanged,
          &AppModel::keyWarningChanged})
        connect(&model, changed, this, &StatusItemController::updateIcon);
    // The menu is rebuilt once the change is over: a change may come from one of its actions.
    for (const auto changed : {&AppModel::statusChanged, &AppModel::podsChanged,
                               &AppModel::presetsChanged, &AppModel::isDemoChanged})
        connect(&model, changed, this, [this] {
            QMetaObject::invokeMethod(this, &StatusItemController::refreshMenu,
                                      Qt::QueuedConnection);
        });
    updateIcon();

    if (presentation == Presentation::window) {
        show();
        watchForTray();
    }
    if (presentation == Presentation::tray)
        serveTray();
}

StatusItemController::~StatusItemController() = default;

void StatusItemController::watchForTray() {
    trayLookout.setInterval(trayLookoutEveryMs);
    connect(&trayLookout, &QTimer::timeout, this, &StatusItemController::takeTrayIfThere);
    trayLookout.start();
    QTimer::singleShot(trayLookoutMs, &trayLookout, &QTimer::stop);
}

void StatusItemController::takeTrayIfThere() {
    if (!StatusNotifierItem::watcherPresent(QDBusConnection::sessionBus()) &&
        !QSystemTrayIcon::isSystemTrayAvailable())
        return;
    trayLookout.stop();
    // The window goes without ending the app, which now lives in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
    shownAs = Presentation::tray;
    panelWindow.becomePopup();
    serveTray();
}

void StatusItemController::serveTray() {
    fillMenu(contextMenu);
    connect(&contextMenu, &QMenu::aboutToShow, this, [this] {
        close();
        if (servedItem)
            servedItem->menuExporter().refresh();
        else
            fillMenu(contextMenu);
    });
    // Qt's item talks XEmbed only when no watcher was there at its start.
    const bool watcherAtStart = StatusNotifierItem::watcherPresent(QDBusConnection::sessionBus());
    servedItem = std::make_unique<StatusNotifierItem>(
        contextMenu, [this] { fillMenu(contextMenu); }, QDBusConnection::sessionBus());
    connect(servedItem.get(), &StatusNotifierItem::activated, this,
            [this](const QPoint& at) { toggle(at); });
    connect(servedItem.get(), &StatusNotifierItem::contextMenuRequested, this,
            [this](const QPoint& at) { contextMenu.popup(at); });
    // A host that comes after the start takes over from the XEmbed icon, and gives it back when
    // its watcher stays away.
    connect(servedItem.get(), &StatusNotifierItem::registered, this, [this] {
        hostGrace.stop();
        trayItem.hide();
        updateIcon();
    });
    hostGrace.setSingleShot(true);
    hostGrace.setInterval(watcherGraceMs);
    if (!watcherAtStart) {
        connect(servedItem.get(), &StatusNotifierItem::watcherLost, &hostGrace,
                qOverload<>(&QTimer::start));
        connect(&hostGrace, &QTimer::timeout, this, [this] {
            trayItem.setContextMenu(&contextMenu);
            trayItem.show();
        });
    }
    shownLook.reset();
    updateIcon();
    // Shown once the popup's own close is over, so that the menu takes the pointer grab.
    connect(
        &panelWindow, &PanelWindow::iconMenuRequested, &contextMenu,
        [this](const QPoint& at) { contextMenu.popup(at); }, Qt::QueuedConnection);
    connect(&trayItem, &QSystemTrayIcon::activated, this, &StatusItemController::activated);
    // With a watcher there, Qt's item would speak to the host too: it is left unshown and without
    // the menu, which it would otherwise take over.
    if (!watcherAtStart) {
        trayItem.setContextMenu(&contextMenu);
        trayItem.show();
    }
    // Once the icon is up, the work of a first open is done ahead of the first click.
    QTimer::singleShot(prepareAfterMs, this, [this] {
        if (!isPanelShown())
            panelWindow.prepare();
    });
}

QString StatusItemController::label(const std::optional<Pod>& pod, bool offline,
                                    const Settings& settings) {
    if (!pod)
        return QStringLiteral("Alvore");
    QString text = QStringLiteral("Alvore, ") + pod->displayName();
    if (offline)
        return text + QStringLiteral(" offline");
    if (pod->measurements && pod->measurements->temperature)
        text += u' ' + settings.reading(pod->measurements->temperature, 1);
    if (!pod->isOn())
        return text + QStringLiteral(" · off");
    text += QStringLiteral(" · ") + ACMode::title(pod->acState->mode.value_or(QString()));
    if (pod->acState->targetTemperature)
        text += QStringLiteral(" to %1°").arg(*pod->acState->targetTemperature);
    return text;
}

void StatusItemController::show() {
    showAt(shownAs == Presentation::tray ? trayItem.geometry() : QRect());
}

void StatusItemController::showAt(const QRect& anchor) {
    const bool wasShown = isPanelShown();
    panelWindow.open(anchor);
    if (!wasShown)
        appModel.setPanelOpen(true);
}

void StatusItemController::close() {
    // Without a tray the panel is the app's window; only the user closes it.
    if (shownAs != Presentation::window && isPanelShown())
        panelWindow.close();
}

void StatusItemController::toggle(const QPoint& clickedAt) {
    if (QGuiApplication::keyboardModifiers() & Qt::ControlModifier) {
        contextMenu.popup(QCursor::pos());
        return;
    }
    if (isPanelShown())
        close();
    else if (!sinceClose.isValid() || sinceClose.elapsed() > closingClickMs)
        clickedAt.isNull() ? show() : showAt(QRect(clickedAt, QSize(1, 1)));
}

void StatusItemController::refreshMenu() {
    if (contextMenu.isVisible())
        return;
    if (servedItem)
        servedItem->menuExporter().refresh();
    else
        fillMenu(contextMenu);
}

bool StatusItemController::isPanelShown() const {
    return panelWindow.isVisible();
}

void StatusItemController::activated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        toggle();
    else if (reason == QSystemTrayIcon::Context)
        close();
}

void StatusItemController::panelHidden() {
    if (QGuiApplication::mouseButtons() != Qt::NoButton)
        sinceClose.start();
    appModel.setPanelOpen(false);
    if (shownAs == Presentation::window)
        QCoreApplication::quit();
}

void StatusItemController::setDarkTray(bool dark) {
    onDarkTray = dark;
    updateIcon();
}

bool StatusItemController::lightInk() const {
    switch (appModel.settings().trayIcon) {
    case Settings::TrayIcon::light:
        return true;
    case Settings::TrayIcon::dark:
        return false;
    case Settings::TrayIcon::automatic:
        break;
    }
    return onDarkTray;
}

void StatusItemController::updateIcon() {
    const std::optional<Pod> pod = appModel.menuBarPod();
    const AppModel::Status& status = appModel.status();
    const Settings& settings = appModel.settings();
    const bool unitOffline = pod && pod->isKnownOffline();
    const bool offline = status.kind == AppModel::Status::offline || unitOffline;
    const bool slashed = offline || status.kind == AppModel::Status::needsKey;

    // Every unit whose filter is due, whichever unit the item reports.
    QString tip = label(pod, offline, settings);
    for (const Pod& unit : appModel.pods())
        if (unit.isFilterDue())
            tip += u'\n' + unit.displayName() + QStringLiteral(" — clean the filter");
    // A key that lives only in memory is lost at quit; the sign-in view's warning says so.
    if (appModel.account().unkeptKeyReason() && appModel.account().keyWarning())
        tip += u'\n' + *appModel.account().keyWarning();
    if (trayItem.toolTip() != tip)
        trayItem.setToolTip(tip);
    if (servedItem)
        servedItem->setToolTip(tip);

    // Only a reading that is current: a slashed item shows the glyph and the tooltip says why.
    std::optional<double> celsius;
    if (settings.showTemperatureInMenuBar && !slashed && pod && pod->measurements)
        celsius = pod->measurements->temperature;
    const QString title = celsius ? u' ' + settings.reading(celsius, 1) : QString();
    const bool glyphBesideLabel = servedItem && servedItem->hostShowsLabels();
    const auto look = std::tuple(slashed, title, lightInk(), glyphBesideLabel);
    if (shownLook == look)
        return;
    shownLook = look;
    shownTitleText = title;
    const QColor ink = TrayGlyph::inkFor(lightInk());
    const QIcon glyph = TrayGlyph::icon(slashed, {}, ink);
    const QIcon number =
        celsius ? TrayGlyph::icon(false, settings.reading(celsius, 0), ink) : glyph;
    trayItem.setIcon(number);
    if (servedItem) {
        // As wide as the reading can grow: every digit drawn as an 8.
        QString guide = title.trimmed();
        for (QChar& c : guide)
            if (c.isDigit())
                c = u'8';
        servedItem->setIcon(glyphBesideLabel ? glyph : number);
        servedItem->setLabel(title.trimmed(), guide);
    }
    // A popup has no title bar or task bar entry to show it in; a window hands every size of it
    // to the window manager.
    if (shownAs != Presentation::tray)
        panelWindow.setWindowIcon(glyph);
}
