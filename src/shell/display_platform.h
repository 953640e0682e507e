#pragma once

#include <QByteArray>

// Which Qt platform the app asks for. A frameless popup cannot be placed against the tray on
// Wayland, so on a Wayland session with XWayland the app runs on X11 unless the user chose.
namespace DisplayPlatform {
// The platform to set, or empty to leave Qt's own choice. Each argument is the value of the
// environment variable of that name; an empty value counts as unset.
QByteArray choose(const QByteArray& waylandDisplay, const QByteArray& display,
                  const QByteArray& chosenPlatform);

// Sets QT_QPA_PLATFORM from choose(); must run before the application object exists.
void applyBeforeStart();

// Whether the panel cannot be placed against the tray: a Wayland platform without XWayland.
bool compositorPlacesWindows();
} // namespace DisplayPlatform
