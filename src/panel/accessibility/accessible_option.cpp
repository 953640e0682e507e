#include "panel/accessibility/accessible_option.h"

#include "panel/dropdown/dropdown_card.h"

AccessibleOption::AccessibleOption(DropdownCard* card, int row)
    : AccessiblePart(card), card(card), row(row) {
}

bool AccessibleOption::isValid() const {
    return card && row < card->dropdown().options.size();
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

QAccessible::State AccessibleOption::state() const {
    QAccessible::State state = baseState();
    if (state.invalid)
        return state;
    const Dropdown& dropdown = card->dropdown();
    state.selectable = true;
    state.focusable = true;
    state.selected = dropdown.selected == dropdown.options.at(row).id;
    state.focused = dropdown.highlighted == row;
    return state;
}

QRect AccessibleOption::localRect() const {
    return card->rowRect(row).toAlignedRect();
}

void AccessibleOption::press() {
    card->pick(row);
}
