#pragma once

#include <QAccessibleWidget>

class QAbstractButton;

// A painted button as assistive technology sees it, by the role it is given: a push button, a
// switch (a check box, checked while on), a radio button (a chip of a set, checked while chosen), a
// combo box whose dropdown is open or shut, or the More/Less toggle with its expanded state. Its
// name is the accessible name, else its text; its actions press it, as a click does.
class AccessibleButton : public QAccessibleWidget {
public:
    AccessibleButton(QAbstractButton* button, QAccessible::Role role);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;
    QStringList keyBindingsForAction(const QString& action) const override;

private:
    QAbstractButton* button() const;
};
