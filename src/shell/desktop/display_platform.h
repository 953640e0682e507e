#pragma once

#include <QByteArray>

// Which Qt platform the app asks for. A frameless popup cannot be placed against the tray on
// Wayland, so on a Wayland session with XWayland the app runs on X11 unless the user chose.
// Without a desktop session (an SSH shell, a server) Qt would abort on its first window: the app
// says so instead, and only the preview renderer runs, off screen.
namespace DisplayPlatform {
// The platform to set, or empty to leave Qt's own choice. Each argument but the last is the value
// of the environment variable of that name; an empty value counts as unset. `previews`: the run
// only renders pictures, off screen when there is no display.
QByteArray choose(const QByteArray& waylandDisplay, const QByteArray& display,
                  const QByteArray& chosenPlatform, bool previews = false);

// Whether `platform` (QT_QPA_PLATFORM's form: names separated by ';', each with optional ':'
// arguments; empty for Qt's default) can start with these displays: X11 and Wayland need one.
bool canStart(const QByteArray& waylandDisplay, const QByteArray& display,
              const QByteArray& platform);

// Sets QT_QPA_PLATFORM from choose(); must run before the application object exists. Returns
// false, having said why on standard error, when the platform cannot start.
bool applyBeforeStart(int argc, const char* const* argv);

// Whether the panel cannot be placed against the tray: a Wayland platform without XWayland.
bool compositorPlacesWindows();
} // namespace DisplayPlatform
