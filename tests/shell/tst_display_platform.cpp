#include "shell/display_platform.h"

#include <QTest>

class DisplayPlatformTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // xcb only on Wayland with XWayland, and only when the user chose nothing.
    void xcbOnlyOnWaylandWithXWaylandWhenTheUserChoseNothing() {
        using DisplayPlatform::choose;
        QCOMPARE(
            QByteArrayList({choose("wayland-0", ":0", {}), choose("wayland-0", ":0", "wayland"),
                            choose("wayland-0", {}, {}), choose({}, ":0", {})}),
            QByteArrayList({"xcb", {}, {}, {}}));
    }
};

QTEST_GUILESS_MAIN(DisplayPlatformTest)
#include "tst_display_platform.moc"
