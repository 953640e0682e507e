#pragma once

#include <QAccessibleWidget>
#include <QHash>

class DropdownCard;

// An open dropdown's card as a list: one item per row, the selected one marked. The items
// are made when first asked for and live as long as the card.
class AccessibleDropdown : public QAccessibleWidget {
public:
    explicit AccessibleDropdown(QWidget* card);
    ~AccessibleDropdown() override;

    // Named after what it picks (the dropdown's name).
    QString text(QAccessible::Text kind) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    DropdownCard* card() const;

    mutable QHash<int, QAccessible::Id> items; // by row
};
