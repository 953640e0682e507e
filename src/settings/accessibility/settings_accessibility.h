#pragma once

// What assistive technology reads of the settings window's own controls: the switches as
// check boxes, the tab bar as a page tab list, the segmented pickers' segments as radio buttons.
namespace SettingsAccessibility {
// Installs the interfaces, once.
void install();
} // namespace SettingsAccessibility
