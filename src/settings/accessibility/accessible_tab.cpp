#include "settings/accessibility/accessible_tab.h"

#include "settings/tab_bar.h"

AccessibleTab::AccessibleTab(TabBar* bar, SettingsTab tab) : bar(bar), tab(tab) {
}

QWindow* AccessibleTab::window() const {
    return bar ? bar->window()->windowHandle() : nullptr;
}

QAccessibleInterface* AccessibleTab::parent() const {
    return QAccessible::queryAccessibleInterface(bar);
}

QString AccessibleTab::text(QAccessible::Text kind) const {
    return kind == QAccessible::Name ? SettingsTabs::title(tab) : QString();
}

QRect AccessibleTab::rect() const {
    if (!bar)
        return {};
    const QRect local = bar->buttonRect(tab);
    return {bar->mapToGlobal(local.topLeft()), local.size()};
}

QAccessible::State AccessibleTab::state() const {
    QAccessible::State state;
    if (!bar) {
        state.invalid = true;
        return state;
    }
    state.selectable = true;
    state.selected = bar->selected() == tab;
    state.focused = state.selected && bar->hasFocus();
    return state;
}

void* AccessibleTab::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
}

QStringList AccessibleTab::actionNames() const {
    return {pressAction()};
}

void AccessibleTab::doAction(const QString& action) {
    if (action == pressAction() && bar)
        bar->select(tab);
}
