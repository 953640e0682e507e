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
    if (m_dropdown)
        setDropdown(std::nullopt);
}

void AppModel::moveHighlight(int by) {
    if (!m_dropdown)
        return;
    const std::optional<int> before = m_dropdown->highlighted;
    m_dropdown->moveHighlight(by);
    if (m_dropdown->highlighted != before)
        Q_EMIT dropdownChanged();
}

void AppModel::highlight(int index) {
    if (!m_dropdown || index < 0 || index >= m_dropdown->options.size() ||
        m_dropdown->highlighted == index)
        return;
    m_dropdown->highlighted = index;
    Q_EMIT dropdownChanged();
}

void AppModel::pickHighlighted() {
    if (!m_dropdown || !m_dropdown->highlighted || *m_dropdown->highlighted < 0 ||
        *m_dropdown->highlighted >= m_dropdown->options.size())
        return;
    // The dropdown goes before its action runs, so the action works on a closed picker.
    const auto pick = std::move(m_dropdown->pick);
    const QString option = m_dropdown->options.at(*m_dropdown->highlighted).id;
    setDropdown(std::nullopt);
    if (pick)
        pick(option);
}

void AppModel::setDropdown(std::optional<Dropdown> dropdown) {
    if (!dropdown && !m_dropdown)
        return;
    m_dropdown = std::move(dropdown);
    Q_EMIT dropdownChanged();
}
