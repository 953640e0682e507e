#include "shell/status_item_controller.h"

#include "model/app_model.h"
#include "shell/tray_glyph.h"

#include <QApplication>
#include <QCursor>
#include <QTimer>

namespace {
// How soon after a click closed the popup the same click may reach the tray icon.
constexpr qint64 closingClickMs = 400;
// How long after start-up the panel's first open is prepared: the icon is in the tray by then.
constexpr int prepareAfterMs = 500;
} // namespace

StatusItemController::StatusItemController(AppModel& model, Presentation presentation,
                                           QObject* parent)
    : QObject(parent), m_model(model), m_presentation(presentation),
      m_panel(model, presentation == Presentation::tray ? PanelWindow::Kind::popup
                                                        : PanelWindow::Kind::window) {
    connect(&m_panel, &PanelWindow::closed, this, &StatusItemController::panelHidden);
    qApp->installEventFilter(this);

    for (const auto changed :
         {&AppModel::statusChanged, &AppModel::podsChanged, &AppModel::lastUpdatedChanged,
          &AppModel::bannerChanged, &AppModel::selectedIDChanged, &AppModel::historyChanged,
          &AppModel::presetsChanged, &AppModel::dropdownChanged, &AppModel::settingsChanged,
          &AppModel::isDemoChanged, &AppModel::openCountChanged})
        connect(&model, changed, this, &StatusItemController::updateIcon);
    // The menu is rebuilt once the change is over: a change may come from one of its actions.
    for (const auto changed : {&AppModel::statusChanged, &AppModel::podsChanged,
                               &AppModel::presetsChanged, &AppModel::isDemoChanged})
        connect(&model, changed, this, [this] {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!m_menu.isVisible())
                        fillMenu(m_menu);
                },
                Qt::QueuedConnection);
        });
    updateIcon();

    if (presentation == Presentation::window)
        show();
    if (presentation != Presentation::tray)
        return;
    fillMenu(m_menu);
    connect(&m_menu, &QMenu::aboutToShow, this, [this] {
        close();
        fillMenu(m_menu);
    });
    m_tray.setContextMenu(&m_menu);
    // Shown once the popup's own close is over, so that the menu takes the pointer grab.
    connect(
        &m_panel, &PanelWindow::iconMenuRequested, &m_menu,
        [this](const QPoint& at) { m_menu.popup(at); }, Qt::QueuedConnection);
    connect(&m_tray, &QSystemTrayIcon::activated, this, &StatusItemController::activated);
    m_tray.show();
    // Once the icon is up, the work of a first open is done ahead of the first click.
    QTimer::singleShot(prepareAfterMs, this, [this] {
        if (!isPanelShown())
            m_panel.prepare();
    });
}

StatusItemController::~StatusItemController() {
    qApp->removeEventFilter(this);
}

QString StatusItemController::label(const std::optional<Pod>& pod, bool offline) {
    if (!pod)
        return QStringLiteral("Alvore");
    const QString name = QStringLiteral("Alvore, ") + pod->displayName();
    if (offline)
        return name + QStringLiteral(" offline");
    const bool on = pod->acState && pod->acState->on == true;
    return name + u' ' +
           (on ? ACMode::title(pod->acState->mode.value_or(QString())) : QStringLiteral("off"));
}

void StatusItemController::show() {
    const bool wasShown = isPanelShown();
    m_panel.open(m_presentation == Presentation::tray ? m_tray.geometry() : QRect());
    if (!wasShown)
        m_model.panelOpened();
}

void StatusItemController::close() {
    // Without a tray the panel is the app's window; only the user closes it.
    if (m_presentation != Presentation::window && isPanelShown())
        m_panel.close();
}

void StatusItemController::toggle() {
    if (QGuiApplication::keyboardModifiers() & Qt::ControlModifier) {
        m_menu.popup(QCursor::pos());
        return;
    }
    if (isPanelShown())
        close();
    else if (!m_sinceClose.isValid() || m_sinceClose.elapsed() > closingClickMs)
        show();
}

bool StatusItemController::isPanelShown() const {
    return m_panel.isVisible();
}

void StatusItemController::activated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        toggle();
    else if (reason == QSystemTrayIcon::Context)
        close();
}

void StatusItemController::panelHidden() {
    if (QGuiApplication::mouseButtons() != Qt::NoButton)
        m_sinceClose.start();
    m_model.panelClosed();
    if (m_presentation == Presentation::window)
        QCoreApplication::quit();
}

void StatusItemController::setDarkTray(bool dark) {
    if (dark == m_darkTray)
        return;
    m_darkTray = dark;
    m_shownSlashed.reset();
    updateIcon();
}

void StatusItemController::updateIcon() {
    const std::optional<Pod> pod = m_model.menuBarPod();
    const AppModel::Status& status = m_model.status();
    const bool unitOffline =
        pod && pod->connectionStatus && pod->connectionStatus->isAlive == false;
    const bool offline = status.kind == AppModel::Status::offline || unitOffline;
    const bool slashed = offline || status.kind == AppModel::Status::needsKey;

    const QString tip = label(pod, offline);
    if (m_tray.toolTip() != tip)
        m_tray.setToolTip(tip);

    QString title;
    const Settings& settings = m_model.settings();
    if (settings.showTemperatureInMenuBar && pod && pod->measurements &&
        pod->measurements->temperature && status.kind != AppModel::Status::needsKey)
        title = u' ' + settings.reading(pod->measurements->temperature, 1);
    if (m_shownSlashed == slashed && m_shownTitle == title)
        return;
    m_shownSlashed = slashed;
    m_shownTitle = title;
    const QIcon icon = TrayGlyph::icon(slashed, title, TrayGlyph::inkFor(m_darkTray));
    m_tray.setIcon(icon);
    // A popup has no title bar or task bar entry to show it in; a window hands every size of it
    // to the window manager.
    if (m_presentation != Presentation::tray)
        m_panel.setWindowIcon(icon);
}
