#pragma once

#include <QAccessibleInterface>
#include <QPointer>
#include <QWidget>

// A pressable part of a painted widget that has no widget of its own, such as a dropdown's row
// or a tab of the settings' tab bar. It has no children; its one action, press, does what a
// click on it does. The part stops being valid with its widget, and may stop earlier.
class AccessiblePart : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit AccessiblePart(QWidget* owner) : owner(owner) {}

    bool isValid() const override { return !owner.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& action) override;
    QStringList keyBindingsForAction(const QString& action) const override;

protected:
    // Where the part lies in its widget; called only while the part is valid.
    virtual QRect localRect() const = 0;
    // Called only while the part is valid.
    virtual void press() = 0;
    // The key that presses the part while it has the focus, if any.
    virtual QString pressKey() const { return {}; }
    // The state every part shares: invalid once it is gone.
    QAccessible::State baseState() const;

private:
    QPointer<QWidget> owner;
};
