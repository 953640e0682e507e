#include "settings/accessibility/accessible_tab_bar.h"

#include "settings/accessibility/accessible_tab.h"
#include "settings/tab_bar.h"

AccessibleTabBar::AccessibleTabBar(QWidget* bar)
    : QAccessibleWidget(bar, QAccessible::PageTabList) {
    for (const SettingsTab tab : SettingsTabs::all())
        tabs.append(QAccessible::registerAccessibleInterface(
            new AccessibleTab(static_cast<TabBar*>(bar), tab)));
}

AccessibleTabBar::~AccessibleTabBar() {
    for (const QAccessible::Id id : std::as_const(tabs))
        QAccessible::deleteAccessibleInterface(id);
}

int AccessibleTabBar::childCount() const {
    return int(tabs.size());
}

QAccessibleInterface* AccessibleTabBar::child(int index) const {
    return index >= 0 && index < tabs.size() ? QAccessible::accessibleInterface(tabs.at(index))
                                             : nullptr;
}

int AccessibleTabBar::indexOfChild(const QAccessibleInterface* child) const {
    return int(tabs.indexOf(QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child))));
}

QAccessibleInterface* AccessibleTabBar::childAt(int x, int y) const {
    for (int i = 0; i < tabs.size(); ++i)
        if (child(i)->rect().contains(x, y))
            return child(i);
    return nullptr;
}

QAccessibleInterface* AccessibleTabBar::focusChild() const {
    if (!widget()->hasFocus())
        return nullptr;
    return child(int(SettingsTabs::all().indexOf(static_cast<TabBar*>(widget())->selected())));
}
