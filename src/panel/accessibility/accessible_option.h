#pragma once

#include "panel/accessibility/accessible_part.h"

class DropdownCard;

// One row of an open dropdown: a list item named by its title, with its detail as the
// description, selected when it is the current value and focused while highlighted. Pressing
// it picks it, as a click on the row does.
class AccessibleOption : public AccessiblePart {
public:
    AccessibleOption(DropdownCard* card, int row);

    bool isValid() const override;
    QString text(QAccessible::Text kind) const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

protected:
    QRect localRect() const override;
    void press() override;
    QString pressKey() const override { return QStringLiteral("Return"); }

private:
    QPointer<DropdownCard> card;
    int row;
};
