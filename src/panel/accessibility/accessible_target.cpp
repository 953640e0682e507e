#include "panel/accessibility/accessible_target.h"

#include "panel/card/temperature_row.h"

#include <cmath>

AccessibleTarget::AccessibleTarget(QWidget* figure)
    : QAccessibleWidget(figure, QAccessible::SpinBox) {
}

TemperatureRow* AccessibleTarget::row() const {
    return qobject_cast<TemperatureRow*>(widget()->parentWidget());
}

void* AccessibleTarget::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString AccessibleTarget::text(QAccessible::Text kind) const {
    const TemperatureRow* target = row();
    if (kind == QAccessible::Value && target && target->shownTarget()) {
        const TemperatureRow::Target& shown = *target->shownTarget();
        return QStringLiteral("%1 degrees %2")
            .arg(shown.value)
            .arg(shown.unit == u"F" ? QStringLiteral("Fahrenheit") : QStringLiteral("Celsius"));
    }
    return QAccessibleWidget::text(kind);
}

QVariant AccessibleTarget::currentValue() const {
    const TemperatureRow* target = row();
    return target && target->shownTarget() ? QVariant(target->shownTarget()->value) : QVariant();
}

void AccessibleTarget::setCurrentValue(const QVariant& value) {
    TemperatureRow* target = row();
    if (!target || !target->shownTarget())
        return;
    const TemperatureRow::Target& shown = *target->shownTarget();
    const int wanted = std::clamp(int(std::lround(value.toDouble())), shown.minimum, shown.maximum);
    // Each step goes to the next allowed value, from the target the last step left.
    const int from = shown.value;
    for (int steps = std::abs(wanted - from); steps > 0; --steps)
        target->step(wanted > from ? 1 : -1);
}

QVariant AccessibleTarget::maximumValue() const {
    const TemperatureRow* target = row();
    return target && target->shownTarget() ? QVariant(target->shownTarget()->maximum) : QVariant();
}

QVariant AccessibleTarget::minimumValue() const {
    const TemperatureRow* target = row();
    return target && target->shownTarget() ? QVariant(target->shownTarget()->minimum) : QVariant();
}

QVariant AccessibleTarget::minimumStepSize() const {
    return 1;
}
