#include "shell/desktop/display_platform.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdio>

namespace DisplayPlatform {

QByteArray choose(const QByteArray& waylandDisplay, const QByteArray& display,
                  const QByteArray& chosenPlatform, bool previews) {
    if (!chosenPlatform.isEmpty())
        return {};
    if (previews && waylandDisplay.isEmpty() && display.isEmpty())
        return QByteArrayLiteral("offscreen");
    if (waylandDisplay.isEmpty() || display.isEmpty())
        return {};
    return QByteArrayLiteral("xcb");
}

bool canStart(const QByteArray& waylandDisplay, const QByteArray& display,
              const QByteArray& platform) {
    if (!waylandDisplay.isEmpty() || !display.isEmpty())
        return true;
    // Qt tries each name in turn; one that draws without a display server is enough.
    const QList<QByteArray> names = platform.split(';');
    return std::any_of(names.cbegin(), names.cend(), [](const QByteArray& name) {
        const QByteArray plugin = name.split(':').constFirst().trimmed();
        return !plugin.isEmpty() && !plugin.startsWith("xcb") && !plugin.startsWith("wayland");
    });
}

bool applyBeforeStart(int argc, const char* const* argv) {
    const bool previews = std::any_of(argv + 1, argv + argc, [](const char* argument) {
        return qstrcmp(argument, "--render-previews") == 0;
    });
    const QByteArray waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray platform =
        choose(waylandDisplay, display, qgetenv("QT_QPA_PLATFORM"), previews);
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    if (canStart(waylandDisplay, display, qgetenv("QT_QPA_PLATFORM")))
        return true;
    std::fputs("Alvore needs a desktop session: neither DISPLAY nor WAYLAND_DISPLAY is set.\n",
               stderr);
    return false;
}

bool compositorPlacesWindows() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace DisplayPlatform
