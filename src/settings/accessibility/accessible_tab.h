#pragma once

#include "panel/accessibility/accessible_part.h"
#include "settings/settings_tab.h"

class TabBar;

// One tab of the settings window's tab bar: a page tab named by its title, selected while its
// page shows; pressing it selects it, as a click does.
class AccessibleTab : public AccessiblePart {
public:
    AccessibleTab(TabBar* bar, SettingsTab tab);

    QString text(QAccessible::Text kind) const override;
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override;

protected:
    QRect localRect() const override;
    void press() override;

private:
    QPointer<TabBar> bar;
    SettingsTab tab;
};
