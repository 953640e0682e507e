#pragma once

#include "model/dropdown.h"

#include <functional>
#include <optional>

// The panel's picker: the one dropdown open, if any, and its highlighted row. Tells `changed`
// of every change it makes.
class DropdownPicker {
public:
    explicit DropdownPicker(std::function<void()> changed) : changed(std::move(changed)) {}

    const std::optional<Dropdown>& shown() const { return current; }
    // Opens `dropdown` with its selected row highlighted, replacing any open one.
    void open(Dropdown dropdown);
    void close();
    void moveHighlight(int by);
    // The pointer is over row `index` of the open dropdown.
    void highlight(int index);
    // Closes the dropdown and picks the highlighted row; without one the dropdown stays open.
    void pickHighlighted();

private:
    void set(std::optional<Dropdown> dropdown);

    std::optional<Dropdown> current;
    std::function<void()> changed;
};
