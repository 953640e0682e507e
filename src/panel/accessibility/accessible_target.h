#pragma once

#include <QAccessibleWidget>

class TemperatureRow;

// A card's target figure as a spin button: its value is the target in the unit's scale,
// between the lowest and highest the unit allows, in steps of one, so that a screen reader's
// own increase and decrease work. Setting a value steps the target there, as the cooler and
// warmer buttons do.
class AccessibleTarget : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleTarget(QWidget* figure);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text kind) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    TemperatureRow* row() const;
};
