#include "shell/display_platform.h"

#include <QGuiApplication>

namespace DisplayPlatform {

QByteArray choose(const QByteArray& waylandDisplay, const QByteArray& display,
                  const QByteArray& chosenPlatform) {
    if (!chosenPlatform.isEmpty() || waylandDisplay.isEmpty() || display.isEmpty())
        return {};
    return QByteArrayLiteral("xcb");
}

void applyBeforeStart() {
    const QByteArray platform =
        choose(qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY"), qgetenv("QT_QPA_PLATFORM"));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}

bool compositorPlacesWindows() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace DisplayPlatform
