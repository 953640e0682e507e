#include "model/app_model.h"
#include "panel/style/icons.h"
#include "panel/style/palette.h"
#include "shell/tray/status_item_controller.h"

#include <QCoreApplication>

namespace {
QAction* addAction(QMenu& menu, const QString& title, const QKeySequence& shortcut = {}) {
    QAction* action = menu.addAction(title);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutVisibleInContextMenu(true);
    }
    return action;
}
} // namespace

void StatusItemController::fillMenu(QMenu& menu) {
    qDeleteAll(menu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly));
    menu.clear();
    menu.setWindowTitle(QStringLiteral("Alvore")); // what a screen reader calls the menu

    connect(addAction(menu, QStringLiteral("Open Alvore")), &QAction::triggered, this,
            &StatusItemController::show);
    const QList<Pod> pods = appModel.pods();
    if (!pods.isEmpty()) {
        menu.addSeparator();
        for (const Pod& pod : pods)
            addUnit(menu, pod);
    }
    menu.addSeparator();

    const AppModel::Status& status = appModel.status();
    if (status.kind == AppModel::Status::offline) {
        addAction(menu, status.text)->setEnabled(false);
        connect(addAction(menu, QStringLiteral("Try Again")), &QAction::triggered, this,
                [this] { appModel.restartPolling(); });
        menu.addSeparator();
    }
    connect(addAction(menu, QStringLiteral("Settings…"), QKeySequence(Qt::CTRL | Qt::Key_Comma)),
            &QAction::triggered, this, [this] { appModel.openSettings(); });
    connect(addAction(menu, QStringLiteral("Quit Alvore"), QKeySequence(Qt::CTRL | Qt::Key_Q)),
            &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void StatusItemController::addUnit(QMenu& menu, const Pod& pod) {
    const bool offline = pod.isKnownOffline();
    const bool on = pod.acState && pod.acState->on == true;
    const QString title = pod.displayName() + (offline ? QStringLiteral(" (offline)") : QString());
    const QString symbol =
        on ? ACMode::symbol(pod.acState->mode.value_or(QString())) : QStringLiteral("power");

    auto* unitMenu = new QMenu(title, &menu);
    unitMenu->setIcon(Icons::icon(symbol, Palette::primaryText()));
    menu.addMenu(unitMenu);

    QAction* power =
        addAction(*unitMenu, on ? QStringLiteral("Turn Off") : QStringLiteral("Turn On"));
    power->setEnabled(!offline);
    connect(power, &QAction::triggered, this, [this, id = pod.id] { appModel.togglePower(id); });
    // The unit keeps its plain name, by which scripts and screen readers find its entry.
    if (pod.isFilterDue())
        connect(addAction(*unitMenu, QStringLiteral("Clean the filter — Done")),
                &QAction::triggered, this,
                [this, id = pod.id] { appModel.features().filterCleaned(id); });

    const QList<Preset> presets = appModel.presets().of(pod.id);
    if (presets.isEmpty())
        return;
    unitMenu->addSeparator();
    const std::optional<Preset> active = appModel.presets().active(pod);
    for (const Preset& preset : presets) {
        QAction* action = addAction(*unitMenu, preset.name);
        // Only the active preset is checkable: others would show an empty box.
        const bool isActive = active && active->id == preset.id;
        action->setCheckable(isActive);
        action->setChecked(isActive);
        action->setEnabled(!offline);
        connect(action, &QAction::triggered, this,
                [this, id = preset.id.toString()] { applyPreset(id); });
    }
}

void StatusItemController::applyPreset(const QString& presetID) {
    const QUuid id(presetID);
    for (const Preset& preset : appModel.presets().all())
        if (preset.id == id) {
            appModel.apply(preset);
            return;
        }
}
