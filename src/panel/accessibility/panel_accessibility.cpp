#include "panel/accessibility/panel_accessibility.h"

#include "panel/accessibility/accessible_application.h"
#include "panel/accessibility/accessible_button.h"
#include "panel/accessibility/accessible_chart.h"
#include "panel/accessibility/accessible_dropdown.h"
#include "panel/accessibility/accessible_menu_button.h"
#include "panel/accessibility/accessible_target.h"
#include "panel/accessibility/accessible_text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>

namespace {

QAccessibleInterface* make(const QString& className, QObject* object) {
    if (object == qApp)
        return new AccessibleApplication;
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    auto* button = qobject_cast<QAbstractButton*>(widget);
    const auto is = [&className](const char* name) { return className == QLatin1String(name); };
    if (button && is("PowerSwitch"))
        return new AccessibleButton(button, QAccessible::CheckBox);
    if (button && is("DropdownTrigger"))
        return new AccessibleButton(button, QAccessible::ComboBox);
    if (button && is("LinkButton"))
        return new AccessibleButton(button, QAccessible::Link);
    if (button &&
        (is("RoundButton") || is("SmallChip") || is("ProminentButton") || is("MoreToggle")))
        return new AccessibleButton(button, QAccessible::PushButton);
    if (is("PanelMenu"))
        return new AccessibleMenuButton(widget);
    if (is("CountingNumber"))
        return new AccessibleTarget(widget);
    if (is("LineText") || is("CompactLabel") || is("TightFigure"))
        return new AccessibleText(widget);
    if (is("HistoryChart"))
        return new AccessibleChart(widget);
    if (is("DropdownCard"))
        return new AccessibleDropdown(widget);
    if (is("UnitCard") || is("FanStepper"))
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    if (is("Banner"))
        return new QAccessibleWidget(widget, QAccessible::AlertMessage);
    if (is("StatusLine"))
        return new QAccessibleWidget(widget, QAccessible::StaticText);
    // Every window of the application's own classes (the panel, the settings window) is a
    // window named by its title; Qt's plain widget would make it a filler.
    if (is("QWidget") && widget->isWindow())
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

} // namespace

void PanelAccessibility::install() {
    static const bool installed = [] {
        QAccessible::installFactory(make);
        return true;
    }();
    Q_UNUSED(installed);
}
