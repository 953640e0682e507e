#include "panel/accessibility/accessible_part.h"

QWindow* AccessiblePart::window() const {
    return owner ? owner->window()->windowHandle() : nullptr;
}

QAccessibleInterface* AccessiblePart::parent() const {
    return QAccessible::queryAccessibleInterface(owner);
}

QRect AccessiblePart::rect() const {
    if (!isValid())
        return {};
    const QRect local = localRect();
    return {owner->mapToGlobal(local.topLeft()), local.size()};
}

void* AccessiblePart::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
}

QStringList AccessiblePart::actionNames() const {
    return {pressAction()};
}

void AccessiblePart::doAction(const QString& action) {
    if (action == pressAction() && isValid())
        press();
}

QStringList AccessiblePart::keyBindingsForAction(const QString& action) const {
    const QString key = pressKey();
    return action == pressAction() && !key.isEmpty() ? QStringList{key} : QStringList{};
}

QAccessible::State AccessiblePart::baseState() const {
    QAccessible::State state;
    state.invalid = !isValid();
    return state;
}
