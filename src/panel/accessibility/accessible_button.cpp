#include "panel/accessibility/accessible_button.h"

#include "panel/card/more_toggle.h"
#include "panel/controls/power_switch.h"
#include "panel/controls/small_chip.h"
#include "panel/dropdown/dropdown_trigger.h"

#include <QAbstractButton>

AccessibleButton::AccessibleButton(QAbstractButton* button, QAccessible::Role role)
    : QAccessibleWidget(button, role) {
}

QAbstractButton* AccessibleButton::button() const {
    return static_cast<QAbstractButton*>(widget());
}

// A chip of a set becomes one after it is made, perhaps after it was first read.
QAccessible::Role AccessibleButton::role() const {
    const auto* chip = qobject_cast<const SmallChip*>(widget());
    return chip && chip->autoExclusive() ? QAccessible::RadioButton : QAccessibleWidget::role();
}

QString AccessibleButton::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
        return button()->text();
    if (kind == QAccessible::Value) {
        if (const auto* trigger = qobject_cast<const DropdownTrigger*>(widget()))
            return trigger->label();
    }
    return QAccessibleWidget::text(kind);
}

QAccessible::State AccessibleButton::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    if (const auto* power = qobject_cast<const PowerSwitch*>(widget())) {
        state.checkable = true;
        state.checked = power->isOn();
    } else if (const auto* chip = qobject_cast<const SmallChip*>(widget())) {
        state.checkable = chip->autoExclusive();
        state.checked = chip->isSelected();
    } else if (const auto* more = qobject_cast<const MoreToggle*>(widget())) {
        state.expandable = true;
        state.expanded = more->isExpanded();
        state.collapsed = !more->isExpanded();
    } else if (const auto* trigger = qobject_cast<const DropdownTrigger*>(widget())) {
        state.expandable = true;
        state.hasPopup = true;
        state.expanded = trigger->isOpen();
        state.collapsed = !trigger->isOpen();
    } else if (button()->isCheckable()) {
        state.checkable = true;
        state.checked = button()->isChecked();
    }
    state.pressed = button()->isDown();
    return state;
}

QStringList AccessibleButton::actionNames() const {
    if (!button()->isEnabled())
        return QAccessibleWidget::actionNames();
    QStringList names{role() == QAccessible::ComboBox ? showMenuAction() : pressAction()};
    if (state().checkable)
        names << toggleAction();
    return names + QAccessibleWidget::actionNames();
}

void AccessibleButton::doAction(const QString& action) {
    if (!button()->isEnabled())
        return;
    if (action == pressAction() || action == toggleAction() || action == showMenuAction())
        button()->click();
    else
        QAccessibleWidget::doAction(action);
}

QStringList AccessibleButton::keyBindingsForAction(const QString& action) const {
    if (action == pressAction() || action == toggleAction() || action == showMenuAction())
        return {QStringLiteral("Space")};
    return QAccessibleWidget::keyBindingsForAction(action);
}
