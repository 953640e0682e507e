#include "settings/accessibility/accessible_tab.h"

#include "settings/tab_bar.h"

AccessibleTab::AccessibleTab(TabBar* bar, SettingsTab tab)
    : AccessiblePart(bar), bar(bar), tab(tab) {
}

QString AccessibleTab::text(QAccessible::Text kind) const {
    return kind == QAccessible::Name ? SettingsTabs::title(tab) : QString();
}

QAccessible::State AccessibleTab::state() const {
    QAccessible::State state = baseState();
    if (state.invalid)
        return state;
    state.selectable = true;
    state.selected = bar->selected() == tab;
    state.focused = state.selected && bar->hasFocus();
    return state;
}

QRect AccessibleTab::localRect() const {
    return bar->buttonRect(tab);
}

void AccessibleTab::press() {
    bar->select(tab);
}
