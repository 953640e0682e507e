#include "model/app_model.h"

void AppModel::openDropdown(Dropdown dropdown) {
    dropdown.highlighted.reset();
    if (dropdown.selected) {
        for (qsizetype i = 0; i < dropdown.options.size(); ++i) {
            if (dropdown.options.at(i).id == *dropdown.selected) {
                dropdown.highlighted = int(i);
                break;
            }
        }
    }
    setDropdown(std::move(dropdown));
}

void AppModel::closeDropdown() {
    if (shownDropdown)
        setDropdown(std::nullopt);
}

void AppModel::moveHighlight(int by) {
    if (!shownDropdown)
        return;
    const std::optional<int> before = shownDropdown->highlighted;
    shownDropdown->moveHighlight(by);
    if (shownDropdown->highlighted != before)
        Q_EMIT dropdownChanged();
}

void AppModel::highlight(int index) {
    if (!shownDropdown || index < 0 || index >= shownDropdown->options.size() ||
        shownDropdown->highlighted == index)
        return;
    shownDropdown->highlighted = index;
    Q_EMIT dropdownChanged();
}

void AppModel::pickHighlighted() {
    if (!shownDropdown || !shownDropdown->highlighted || *shownDropdown->highlighted < 0 ||
        *shownDropdown->highlighted >= shownDropdown->options.size())
        return;
    // The dropdown goes before its action runs, so the action works on a closed picker.
    const auto pick = std::move(shownDropdown->pick);
    const QString option = shownDropdown->options.at(*shownDropdown->highlighted).id;
    setDropdown(std::nullopt);
    if (pick)
        pick(option);
}

void AppModel::setDropdown(std::optional<Dropdown> dropdown) {
    if (!dropdown && !shownDropdown)
        return;
    shownDropdown = std::move(dropdown);
    Q_EMIT dropdownChanged();
}
