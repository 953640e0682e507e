#include "model/dropdown_picker.h"

void DropdownPicker::open(Dropdown dropdown) {
    dropdown.highlighted.reset();
    if (dropdown.selected) {
        for (qsizetype i = 0; i < dropdown.options.size(); ++i) {
            if (dropdown.options.at(i).id == *dropdown.selected) {
                dropdown.highlighted = int(i);
                break;
            }
        }
    }
    set(std::move(dropdown));
}

void DropdownPicker::close() {
    if (current)
        set(std::nullopt);
}

void DropdownPicker::moveHighlight(int by) {
    if (!current)
        return;
    const std::optional<int> before = current->highlighted;
    current->moveHighlight(by);
    if (current->highlighted != before)
        changed();
}

void DropdownPicker::highlight(int index) {
    if (!current || index < 0 || index >= current->options.size() || current->highlighted == index)
        return;
    current->highlighted = index;
    changed();
}

void DropdownPicker::pickHighlighted() {
    if (!current || !current->highlighted || *current->highlighted < 0 ||
        *current->highlighted >= current->options.size())
        return;
    // The dropdown goes before its action runs, so the action works on a closed picker.
    const auto pick = std::move(current->pick);
    const QString option = current->options.at(*current->highlighted).id;
    set(std::nullopt);
    if (pick)
        pick(option);
}

void DropdownPicker::set(std::optional<Dropdown> dropdown) {
    if (!dropdown && !current)
        return;
    current = std::move(dropdown);
    changed();
}
