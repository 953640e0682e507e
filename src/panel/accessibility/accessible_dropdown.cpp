#include "panel/accessibility/accessible_dropdown.h"

#include "panel/accessibility/accessible_option.h"
#include "panel/dropdown/dropdown_card.h"

AccessibleDropdown::AccessibleDropdown(QWidget* card) : QAccessibleWidget(card, QAccessible::List) {
}

AccessibleDropdown::~AccessibleDropdown() {
    for (const QAccessible::Id id : std::as_const(items))
        QAccessible::deleteAccessibleInterface(id);
}

DropdownCard* AccessibleDropdown::card() const {
    return static_cast<DropdownCard*>(widget());
}

QString AccessibleDropdown::text(QAccessible::Text kind) const {
    return kind == QAccessible::Name ? card()->dropdown().name : QAccessibleWidget::text(kind);
}

int AccessibleDropdown::childCount() const {
    return widget()->isVisible() ? int(card()->dropdown().options.size()) : 0;
}

QAccessibleInterface* AccessibleDropdown::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    if (!items.contains(index))
        items.insert(index,
                     QAccessible::registerAccessibleInterface(new AccessibleOption(card(), index)));
    return QAccessible::accessibleInterface(items.value(index));
}

int AccessibleDropdown::indexOfChild(const QAccessibleInterface* child) const {
    const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child));
    return items.key(id, -1);
}

QAccessibleInterface* AccessibleDropdown::childAt(int x, int y) const {
    const std::optional<int> row = card()->rowAt(card()->mapFromGlobal(QPointF(x, y)));
    return row ? child(*row) : nullptr;
}

QAccessibleInterface* AccessibleDropdown::focusChild() const {
    const std::optional<int> highlighted = card()->dropdown().highlighted;
    return highlighted ? child(*highlighted) : nullptr;
}
