#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class DropdownCard;

// One row of an open dropdown: a list item named by its title, with its detail as the
// description, selected when it is the current value and focused while highlighted. Its
// action picks it, as a click on the row does.
class AccessibleOption : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    AccessibleOption(DropdownCard* card, int row);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text kind) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& action) override;
    QStringList keyBindingsForAction(const QString& action) const override;

private:
    QPointer<DropdownCard> card;
    int row;
};
