#pragma once

#include <QPalette>

// The look of the whole app: always dark, whatever the desktop's theme, in the panel's typeface.
namespace Appearance {

// The Fusion style's colours taken from the panel's palette.
QPalette darkPalette();

// Fusion, the dark palette and Inter for every window, with the panel's icons and fonts loaded;
// when the desktop asks for reduced motion, animations jump to their end.
void apply();

// Whether the desktop asks for reduced motion: ALVORE_REDUCE_MOTION=1, or GNOME's
// "enable-animations" switched off.
bool desktopReducesMotion();

} // namespace Appearance
