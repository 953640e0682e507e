#include "shell/display_platform.h"

#include <QTest>

class DisplayPlatformTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void xcbOnlyOnWaylandWithXWaylandWhenTheUserChoseNothing_data() {
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char* name, QByteArray wayland, QByteArray display,
                            QByteArray chosen, QByteArray expected) {
            QTest::newRow(name) << wayland << display << chosen << expected;
        };
        row("Wayland with XWayland", "wayland-0", ":0", {}, "xcb");
        row("Wayland, the user chose", "wayland-0", ":0", "wayland", {});
        row("Wayland without XWayland", "wayland-0", {}, {}, {});
        row("X11", {}, ":0", {}, {});
    }
    void xcbOnlyOnWaylandWithXWaylandWhenTheUserChoseNothing() {
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, chosen);
        QTEST(DisplayPlatform::choose(wayland, display, chosen), "expected");
    }
};

QTEST_GUILESS_MAIN(DisplayPlatformTest)
#include "tst_display_platform.moc"
