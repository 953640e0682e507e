#include "model/dropdown_builders.h"
#include "panel/accessibility/panel_accessibility.h"
#include "panel/animation/frame_ticker.h"
#include "panel/common/status_line.h"
#include "panel/root/root_view.h"
#include "panel/style/panel_resources.h"
#include "shell/tray/status_item_controller.h"
#include "shell/tray/status_notifier_item.h"
#include "shell/tray/tray_glyph.h"
#include "support/outcome.h"
#include "support/panel_rig.h"

#include <QAccessible>
#include <QDBusPendingReply>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <sys/prctl.h>

namespace {
// What the tray shows: its tooltip, its picture ("slashed", the plain glyph "" or the reading in
// whole degrees, "25°") and the reading beside it.
QStringList shown(StatusItemController& item) {
    const QImage icon = item.trayIcon().icon().pixmap(48).toImage().convertToFormat(
        QImage::Format_ARGB32_Premultiplied);
    const QString title = item.shownTitle().trimmed();
    const QString whole =
        QString::number(qRound(QLocale().toDouble(title.chopped(title.isEmpty() ? 0 : 1)))) + u'°';
    QString look = QStringLiteral("neither");
    for (const QString& picture : {QStringLiteral("slashed"), QString(), whole})
        if (icon ==
            TrayGlyph::image(picture == u"slashed", picture == whole ? whole : QString(), 48))
            look = picture;
    return {item.trayIcon().toolTip(), look, item.shownTitle()};
}

// The light or dark ink of a picture: the gray of its most opaque pixel.
int inkOf(const QImage& icon) {
    QRgb opaque = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            if (qAlpha(icon.pixel(x, y)) > qAlpha(opaque))
                opaque = icon.pixel(x, y);
    return qGray(opaque);
}

// The height of the tallest shape of opaque pixels, touching side by side or one above another
// (a digit of a reading, or a part of the glyph), and the width all of them span.
std::pair<int, int> opaqueShapes(const QImage& image) {
    QList<bool> seen(image.width() * image.height());
    int tallest = 0;
    QRect inked;
    for (int start = 0; start < seen.size(); ++start) {
        QList<QPoint> open{{start % image.width(), start / image.width()}};
        int top = image.height(), bottom = -1;
        while (!open.isEmpty()) {
            const QPoint at = open.takeLast();
            const qsizetype index = at.y() * image.width() + at.x();
            if (!image.rect().contains(at) || seen[index] || qAlpha(image.pixel(at)) <= 128)
                continue;
            seen[index] = true;
            inked |= QRect(at, QSize(1, 1));
            top = std::min(top, at.y()), bottom = std::max(bottom, at.y());
            open << at + QPoint(1, 0) << at - QPoint(1, 0) << at + QPoint(0, 1)
                 << at - QPoint(0, 1);
        }
        tallest = std::max(tallest, bottom - top + 1);
    }
    return {tallest, inked.width()};
}

// The tray item on the demo units.
struct DemoTray {
    ModelRig rig;
    AppModel& model = rig.start(true);
    StatusItemController item{model, StatusItemController::Presentation::tray};
    std::optional<qint64> target(const char* id) const {
        return model.pod(id)->acState->targetTemperature;
    }
    Dropdown modes() { return Dropdowns::mode(model, *model.pod("demo1"), {}); } // cool, heat…
};

// A tray host's watcher on a connection of its own, which also asks the item what a host asks.
class FakeHost : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
public:
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-host"));
    QStringList items; // as registered

    ~FakeHost() override {
        stop();
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-host"));
    }
    void start() {
        bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this,
                           QDBusConnection::ExportScriptableSlots);
        bus.registerService(StatusNotifierItem::watcherService);
    }
    void stop() {
        bus.unregisterService(StatusNotifierItem::watcherService);
        bus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
    }
    // The app answers on the test's own thread, so the host never blocks on it.
    QVariant property(const char* name) {
        QDBusMessage get = QDBusMessage::createMethodCall(
            QDBusConnection::sessionBus().baseService(), QStringLiteral("/StatusNotifierItem"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << QStringLiteral("org.kde.StatusNotifierItem") << QString::fromLatin1(name);
        QDBusPendingReply<QDBusVariant> reply = bus.asyncCall(get);
        return QTest::qWaitFor([&] { return reply.isFinished(); }) ? reply.value().variant()
                                                                   : QVariant();
    }
    // The largest picture the item serves, as a host reads it.
    QByteArray pixmap() {
        const auto served = qdbus_cast<NotifierTypes::Pixmaps>(property("IconPixmap"));
        return served.isEmpty() ? QByteArray() : served.last().bytes;
    }

public Q_SLOTS:
    // Other tests' programs may serve items on the same bus; only this one's count.
    Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString& service) {
        if (service == QDBusConnection::sessionBus().baseService())
            items << service;
    }
};
} // namespace

class StatusItemTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        PanelAccessibility::install();
        loadPanelResources();
        FrameTicker::shared()->setInstant(true);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // " 24.6°"
    }

    // The reading follows the unit, the degrees and the switch chosen in the settings; an
    // offline unit shows no reading. The ink follows the tray, unless the "Tray icon" setting
    // says otherwise, at once.
    void trayDescribesTheReportedUnit() {
        DemoTray demo;
        const auto shows = [&](const char* unit, const char* degrees, bool reading,
                               Settings::TrayIcon look = Settings::TrayIcon::automatic) {
            demo.model.setSettings({unit, degrees, 60, reading, look});
            return shown(demo.item);
        };
        // Whichever unit it reports, the tooltip names each unit whose filter is due.
        const QString due = "\nOffice — clean the filter";
        QCOMPARE(shows("demo1", "C", false),
                 QStringList({"Alvore, Bedroom 24.6° · Cool to 22°" + due, "", ""}));
        QCOMPARE(shows("demo2", "F", true),
                 QStringList({"Alvore, Office 79.0° · off" + due, "79°", " 79.0°"}));
        QCOMPARE(shows("demo3", "C", true),
                 QStringList({"Alvore, Living Room offline" + due, "slashed", ""}));
        const auto ink = [&] { return inkOf(demo.item.trayIcon().icon().pixmap(48).toImage()); };
        QVERIFY(ink() > 160);
        demo.item.setDarkTray(false);
        QVERIFY(ink() < 96);
        shows("demo1", "C", true, Settings::TrayIcon::light);
        QVERIFY(ink() > 160);
        demo.item.setDarkTray(true);
        shows("demo1", "C", true, Settings::TrayIcon::dark);
        QVERIFY(ink() < 96);
    }

    // Signed out, the tray shows the slashed glyph. A key the keyring refused is lost at quit:
    // while it is in use, the tooltip and the panel's status line carry the sign-in view's warning.
    void signedOutThenKeyKeptOnlyInMemory() {
        const QString warning = QStringLiteral(
            "Your key can't be kept: the keyring stayed locked. It works until Alvore quits.");
        ModelRig rig(std::nullopt);
        rig.units = {unitJson("a", "Hall", true)};
        rig.service.on("GET", listingPath, keyCheck(200));
        StatusItemController item(rig.start(), StatusItemController::Presentation::tray);
        StatusLine line(*rig.model);
        QTRY_COMPARE(rig.model->status().kind, AppModel::Status::needsKey);
        QCOMPARE(shown(item), QStringList({"Alvore", "slashed", ""}));
        rig.keys.setProblem(QStringLiteral("the keyring stayed locked"));
        QVERIFY(outcomeOf(rig.model->account().signIn("goodkey-12345")).value);
        QTRY_COMPARE(rig.model->status().kind, AppModel::Status::ready);
        QCOMPARE(shown(item).first(), "Alvore, Hall · Cool to 22°\n" + warning);
        QCOMPARE(line.accessibleName(), "Updated just now · key not kept");
        QCOMPARE(line.toolTip(), warning);
    }

    // The menu's entries as a host reads them are e2e.sway's; here the presets join them.
    void contextMenuListsUnitsAndPresets() {
        DemoTray demo;
        for (const auto& [name, unit] :
             {std::pair("Night", "demo1"), {"Quiet", "demo1"}, {"Breeze", "demo3"}})
            demo.model.presets().save(name, *demo.model.pod(unit));
        QMenu menu;
        demo.item.fillMenu(menu);
        demo.item.fillMenu(menu); // built afresh, not added to
        QCOMPARE(menu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly).size(), 3);

        const QMenu& bedroom = *menuEntry(menu, "Bedroom")->menu();
        const QMenu& office = *menuEntry(menu, "Office")->menu();
        const QMenu& living = *menuEntry(menu, "Living Room (offline)")->menu();
        QCOMPARE(menuTitles(bedroom) + menuTitles(office) + menuTitles(living),
                 QStringList({"Turn Off", "—", "Night", "Quiet", "Turn On",
                              "Clean the filter — Done", "Turn On", "—", "Breeze"}));
        // The applied preset is ticked, the others have no empty box beside them.
        QVERIFY(menuEntry(bedroom, "Night")->isChecked() &&
                !menuEntry(bedroom, "Quiet")->isCheckable());
        QVERIFY(!menuEntry(living, "Turn On")->isEnabled() &&
                !menuEntry(living, "Breeze")->isEnabled());

        menuEntry(office, "Clean the filter — Done")->trigger();
        QVERIFY(!demo.model.pod("demo2")->isFilterDue());
        demo.model.step(QStringLiteral("demo1"), 2);
        menuEntry(bedroom, "Night")->trigger();
        QCOMPARE(demo.target("demo1"), 22);
    }

    // Try Again lists at once: the clock stands still.
    void offlineMenuRetries() {
        ModelRig rig(QJsonArray{unitJson("a", "Hall", false)});
        rig.listingAnswers = {LoopbackService::Response::json("{}", 500)};
        AppModel& model = rig.start();
        StatusItemController item(model, StatusItemController::Presentation::tray);
        QTRY_COMPARE(model.status().kind, AppModel::Status::offline);
        QMenu menu;
        item.fillMenu(menu);
        QCOMPARE(menuTitles(menu), QStringList({"Open Alvore", "—", model.status().text,
                                                "Try Again", "—", "Settings…", "Quit Alvore"}));
        QVERIFY(!menu.actions().at(2)->isEnabled());
        menuEntry(menu, "Try Again")->trigger();
        QTRY_COMPARE(shown(item), QStringList({"Alvore, Hall · off", "", ""}));
    }

    void clicksOpenAndCloseThePanel() {
        DemoTray demo;
        // The content built ahead of the first open is gone, and with it its motion.
        FrameTicker::shared()->setInstant(false);
        demo.item.panel().prepare();
        const bool running = FrameTicker::shared()->isRunning();
        FrameTicker::shared()->setInstant(true);
        QVERIFY(!running && !demo.item.panel().content() && !demo.item.isPanelShown());
        QCOMPARE(ModelBackstage::openCount(demo.model), 0);

        QSystemTrayIcon& tray = demo.item.trayIcon();
        Q_EMIT tray.activated(QSystemTrayIcon::Trigger);
        QPointer<RootView> content = demo.item.panel().content();
        QVERIFY(ModelBackstage::isPanelOpen(demo.model) && content);
        demo.model.picker().open(demo.modes());
        Q_EMIT tray.activated(QSystemTrayIcon::Trigger);
        QVERIFY(!demo.item.isPanelShown() && !ModelBackstage::isPanelOpen(demo.model) &&
                !demo.model.picker().shown());
        QTRY_VERIFY(!content); // the content goes with the panel
        QCOMPARE(ModelBackstage::openCount(demo.model), 1);
    }

    // Where there is no tray, a screen reader finds the panel window under the application
    // (e2e.accessibility finds the tray's popup there, over AT-SPI). A host that comes later
    // takes the app in: the window goes and the item registers (e2e.tray starts an XEmbed tray
    // after the app).
    void panelWindowWithoutATray() {
        ModelRig rig;
        StatusItemController windowed(rig.start(true), StatusItemController::Presentation::window);
        QVERIFY(QTest::qWaitForWindowExposed(&windowed.panel()));
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&windowed.panel());
        QVERIFY(QAccessible::queryAccessibleInterface(qApp)->indexOfChild(window) >= 0);
        QCOMPARE(spoken(window), "Window 'Alvore'");
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a session bus (scripts/with-test-session gives one)");
        FakeHost host;
        host.start();
        QTRY_COMPARE(host.items, QStringList{QDBusConnection::sessionBus().baseService()});
        QVERIFY(!windowed.isPanelShown() && windowed.panel().kind() == PanelWindow::Kind::popup);
    }

    void keysStepSelectSwitchAndPick() {
        DemoTray demo;
        PanelWindow& panel = demo.item.panel();
        const auto press = [&](const QList<Qt::Key>& keys, Qt::KeyboardModifiers modifiers = {}) {
            for (const Qt::Key key : keys)
                QTest::keyClick(&panel, key, modifiers);
        };
        press({Qt::Key_3}); // a closed panel takes no keys
        QCOMPARE(demo.model.selectedID(), QStringLiteral("demo1"));

        demo.item.show();
        press({Qt::Key_Up, Qt::Key_Right});
        QCOMPARE(demo.target("demo1"), 24);
        press({Qt::Key_Left, Qt::Key_Down, Qt::Key_Down});
        press({Qt::Key_Up}, Qt::ControlModifier);
        QCOMPARE(demo.target("demo1"), 21);

        // A text field keeps its keys.
        auto* field = new QLineEdit(&panel);
        field->show();
        field->setFocus();
        QTest::keyClicks(field, QStringLiteral("3p"));
        QCOMPARE(
            std::tuple(field->text(), demo.model.selectedID(), demo.model.pod("demo1")->isOn()),
            std::tuple(QString("3p"), std::optional<QString>("demo1"), true));
        delete field;

        press({Qt::Key_2});
        press({Qt::Key_P}, Qt::ShiftModifier);
        QVERIFY(demo.model.pod("demo2")->isOn());
        // The offline unit takes no keys, not even a number.
        press({Qt::Key_3, Qt::Key_1});
        QCOMPARE(demo.model.selectedID(), QStringLiteral("demo3"));

        // An open dropdown takes the arrows, Space picks, Escape closes the dropdown first.
        demo.model.select(1);
        QString picked;
        Dropdown modes = demo.modes();
        modes.pick = [&](const QString& id) { picked = id; };
        demo.model.picker().open(modes);
        press({Qt::Key_Right, Qt::Key_Left, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Space});
        QCOMPARE(picked, QStringLiteral("heat"));
        QVERIFY(!demo.model.picker().shown() && demo.target("demo1") == 21);
        demo.model.picker().open(demo.modes());
        press({Qt::Key_Escape});
        QVERIFY(!demo.model.picker().shown() && demo.item.isPanelShown());
        press({Qt::Key_Escape});
        QVERIFY(!demo.item.isPanelShown());
    }

    // A host that comes after the start takes the item from the XEmbed tray, and takes it again
    // when it restarts. (What a host reads of the menu, the label beside the reading icon and
    // Activate are worked by e2e.sway.)
    void notifierHostTakesTheItemAndShowsTheReading() {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a session bus (scripts/with-test-session gives one)");
        FakeHost host;
        DemoTray demo;
        QVERIFY(demo.item.trayIcon().isVisible());
        host.start();
        const QStringList itself{QDBusConnection::sessionBus().baseService()};
        QTRY_COMPARE(host.items, itself);
        QTRY_VERIFY(!demo.item.trayIcon().isVisible());
        // A restart within the grace keeps the item off the XEmbed tray.
        host.stop();
        QTRY_VERIFY(demo.item.watcherGrace().isActive());
        // A host known to show the label, by its program's name, gets the glyph beside it; any
        // other the reading as the icon. Both follow the "Tray icon" setting.
        char program[16] = {};
        prctl(PR_GET_NAME, program);
        prctl(PR_SET_NAME, "gnome-shell");
        host.start();
        QTRY_COMPARE(host.items, itself + itself);
        QTRY_VERIFY(!demo.item.watcherGrace().isActive() && !demo.item.trayIcon().isVisible());
        const auto served = [](const QString& reading, bool light) {
            return NotifierTypes::pixmaps(TrayGlyph::icon(false, reading, TrayGlyph::inkFor(light)))
                .last()
                .bytes;
        };
        QTRY_COMPARE(host.pixmap(), served({}, true));
        QCOMPARE(host.property("XAyatanaLabel").toString(), QStringLiteral("24.6°"));
        prctl(PR_SET_NAME, program);
        host.stop();
        host.start();
        QTRY_COMPARE(host.pixmap(), served(QStringLiteral("25°"), true));
        demo.model.setSettings({.menuBarPodID = {}, .trayIcon = Settings::TrayIcon::dark});
        QCOMPARE(host.pixmap(), served(QStringLiteral("25°"), false));

        // A watcher gone for good gives the item back to the XEmbed tray, menu and all.
        host.stop();
        QTRY_VERIFY(demo.item.watcherGrace().isActive() && !demo.item.trayIcon().isVisible());
        QMetaObject::invokeMethod(&demo.item.watcherGrace(), "timeout");
        QVERIFY(demo.item.trayIcon().isVisible() && demo.item.trayIcon().contextMenu());
    }

    // Top right, at the bottom, at the pointer when the tray gives no place, and on a second
    // screen.
    void popupStaysOnScreenBesideTheTray() {
        const auto placed = [](QRect anchor, QPoint pointer, QRect available = {0, 0, 1280, 800}) {
            return PanelWindow::placement({380, 200}, anchor, pointer, available);
        };
        QCOMPARE(QList<QRect>({placed({1200, 0, 24, 24}, {}), placed({600, 776, 24, 24}, {}),
                               placed({}, {700, 300}),
                               placed({1290, 0, 24, 24}, {}, {1280, 30, 1920, 1050})}),
                 QList<QRect>({{900, 28, 380, 200},
                               {421, 572, 380, 200},
                               {510, 304, 380, 200},
                               {1280, 30, 380, 200}}));
    }

    // Where no label can show, the icon is the reading: digits most of the icon's height at
    // every size a tray uses, all of it inside the square, light for a dark bar and dark for a
    // light one. A long reading is narrowed or made smaller, never cut off at the sides.
    void readingFillsTheIcon() {
        for (const int pixels : {16, 22, 24, 32, 48})
            for (const char* reading : {"25°", "79°", "-3°"})
                for (const bool light : {true, false}) {
                    const QImage image =
                        TrayGlyph::image(false, reading, pixels, TrayGlyph::inkFor(light));
                    const auto [tallest, wide] = opaqueShapes(image);
                    const QByteArray where = reading + (" at " + QByteArray::number(pixels));
                    QVERIFY2(tallest >= 0.6 * pixels && wide >= 0.6 * pixels, where);
                    QVERIFY2(light ? inkOf(image) > 160 : inkOf(image) < 96, where);
                }
        const QImage hot = TrayGlyph::image(false, QStringLiteral("104°"), 22);
        for (int y = 0; y < 22; ++y)
            QVERIFY(qAlpha(hot.pixel(0, y)) < 200 && qAlpha(hot.pixel(21, y)) < 200);
        QVERIFY(hot != TrayGlyph::image(false, QStringLiteral("105°"), 22));
    }
};

QTEST_MAIN(StatusItemTest)
#include "tst_status_item.moc"
