#include "panel/accessibility/accessible_option.h"

#include "panel/dropdown/dropdown_card.h"

#include <QWidget>

AccessibleOption::AccessibleOption(DropdownCard* card, int row) : card(card), row(row) {
}

bool AccessibleOption::isValid() const {
    return card && row < card->dropdown().options.size();
}

QWindow* AccessibleOption::window() const {
    return card ? card->window()->windowHandle() : nullptr;
}

QAccessibleInterface* AccessibleOption::parent() const {
    return QAccessible::queryAccessibleInterface(card);
}

QString AccessibleOption::text(QAccessible::Text kind) const {
    if (!isValid())
        return {};
    const Dropdown::Option& option = card->dropdown().options.at(row);
    if (kind == QAccessible::Name)
        return option.title;
    if (kind == QAccessible::Description)
        return option.detail.value_or(QString());
    return {};
}

QRect AccessibleOption::rect() const {
    if (!isValid())
        return {};
    const QRect local = card->rowRect(row).toAlignedRect();
    return {card->mapToGlobal(local.topLeft()), local.size()};
}

QAccessible::State AccessibleOption::state() const {
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    const Dropdown& dropdown = card->dropdown();
    state.selectable = true;
    state.focusable = true;
    state.selected = dropdown.selected == dropdown.options.at(row).id;
    state.focused = dropdown.highlighted == row;
    return state;
}

void* AccessibleOption::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
}

QStringList AccessibleOption::actionNames() const {
    return {pressAction()};
}

void AccessibleOption::doAction(const QString& action) {
    if (action == pressAction() && isValid())
        card->pick(row);
}

QStringList AccessibleOption::keyBindingsForAction(const QString& action) const {
    return action == pressAction() ? QStringList{QStringLiteral("Return")} : QStringList{};
}
