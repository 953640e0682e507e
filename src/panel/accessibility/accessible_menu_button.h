#pragma once

#include <QAccessibleWidget>

// The panel's gear button as a menu button whose action opens its menu.
class AccessibleMenuButton : public QAccessibleWidget {
public:
    explicit AccessibleMenuButton(QWidget* button);

    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;
};
