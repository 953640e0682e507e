#pragma once

#include <QPalette>

// The look of the whole app: always dark, whatever the desktop's theme, in the panel's typeface.
namespace Appearance {

// The Fusion style's colours taken from the panel's palette.
QPalette darkPalette();

// Fusion, the dark palette and Inter for every window, with the panel's icons and fonts loaded.
void apply();

// While on, decorative animation draws nothing and transitions jump to their end.
void setReducedMotion(bool on);

} // namespace Appearance
