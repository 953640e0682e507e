#include "shell/desktop/display_platform.h"

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

    // Without a display only a platform that draws without one starts, as the preview
    // renderer's does when nothing else was chosen.
    void withoutADisplayOnlyOffScreenPlatformsStart() {
        using DisplayPlatform::canStart;
        QVERIFY(canStart({}, ":0", {}) && canStart("wayland-0", {}, "wayland"));
        QVERIFY(!canStart({}, {}, {}) && !canStart({}, {}, "xcb") &&
                !canStart({}, {}, "wayland;xcb"));
        QVERIFY(canStart({}, {}, "offscreen") &&
                canStart({}, {}, "wayland;offscreen:fontengine=freetype"));
        using DisplayPlatform::choose;
        QCOMPARE(QByteArrayList({choose({}, {}, {}, true), choose({}, {}, "minimal", true),
                                 choose({}, ":0", {}, true)}),
                 QByteArrayList({"offscreen", {}, {}}));
    }
};

QTEST_GUILESS_MAIN(DisplayPlatformTest)
#include "tst_display_platform.moc"
