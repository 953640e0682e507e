#include "panel/accessibility/accessible_menu_button.h"

#include "panel/common/panel_menu.h"

AccessibleMenuButton::AccessibleMenuButton(QWidget* button)
    : QAccessibleWidget(button, QAccessible::ButtonMenu) {
}

QAccessible::State AccessibleMenuButton::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.hasPopup = true;
    return state;
}

QStringList AccessibleMenuButton::actionNames() const {
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
}

void AccessibleMenuButton::doAction(const QString& action) {
    if (action == showMenuAction() || action == pressAction())
        static_cast<PanelMenu*>(widget())->openMenu();
    else
        QAccessibleWidget::doAction(action);
}
