#include "shell/display_platform.h"
#include "shell/panel_window.h"

#include <QTest>

class DisplayPlatformTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void xcbOnlyOnWaylandWithXWaylandWhenTheUserChoseNothing_data() {
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("Wayland with XWayland")
            << QByteArray("wayland-0") << QByteArray(":0") << QByteArray() << QByteArray("xcb");
        QTest::newRow("Wayland, the user chose")
            << QByteArray("wayland-0") << QByteArray(":0") << QByteArray("wayland") << QByteArray();
        QTest::newRow("Wayland without XWayland")
            << QByteArray("wayland-0") << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("X11") << QByteArray() << QByteArray(":0") << QByteArray() << QByteArray();
    }
    void xcbOnlyOnWaylandWithXWaylandWhenTheUserChoseNothing() {
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, chosen);
        QTEST(DisplayPlatform::choose(wayland, display, chosen), "expected");
    }

    void withoutTheIconsPlaceThePanelIsCentredAtTheTop() {
        const QRect secondScreen(1920, 30, 1280, 770);
        QCOMPARE(PanelWindow::topCentre(QSize(380, 500), secondScreen),
                 QRect(1920 + 450, 30, 380, 500));
        // Wider than the screen: it starts at the screen's left edge.
        QCOMPARE(PanelWindow::topCentre(QSize(400, 100), QRect(0, 0, 300, 600)).topLeft(),
                 QPoint(0, 0));
    }
};

QTEST_GUILESS_MAIN(DisplayPlatformTest)
#include "tst_display_platform.moc"
