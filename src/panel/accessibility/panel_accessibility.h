#pragma once

// What assistive technology reads of the application's windows and the panel's painted
// controls: roles, names, states, values and actions.
namespace PanelAccessibility {
// Installs the interfaces, once, before the accessibility bridge first asks for the
// application's: it keeps the first it gets.
void install();
} // namespace PanelAccessibility
