#include "settings/accessibility/settings_accessibility.h"

#include "panel/accessibility/accessible_button.h"
#include "settings/accessibility/accessible_tab_bar.h"
#include "settings/segmented_picker.h"

#include <QAbstractButton>

namespace {

QAccessibleInterface* make(const QString& className, QObject* object) {
    auto* button = qobject_cast<QAbstractButton*>(object);
    if (button && className == QLatin1String("SettingSwitch"))
        return new AccessibleButton(button, QAccessible::CheckBox);
    if (button && className == QLatin1String("QPushButton") &&
        qobject_cast<SegmentedPicker*>(button->parentWidget()))
        return new AccessibleButton(button, QAccessible::RadioButton);
    if (className == QLatin1String("TabBar"))
        return new AccessibleTabBar(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

void SettingsAccessibility::install() {
    static const bool installed = [] {
        QAccessible::installFactory(make);
        return true;
    }();
    Q_UNUSED(installed);
}
