#include "panel/animation/frame_ticker.h"
#include "panel/root/root_view.h"
#include "panel/style/panel_resources.h"
#include "shell/status_item_controller.h"
#include "shell/tray_glyph.h"
#include "support/panel_rig.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>

namespace {
bool showsSlashed(StatusItemController& item) {
    const QImage shown = item.trayIcon().icon().pixmap(48).toImage().convertToFormat(
        QImage::Format_ARGB32_Premultiplied);
    const QImage slashed = TrayGlyph::image(true, item.shownTitle(), 48);
    const QImage plain = TrayGlyph::image(false, item.shownTitle(), 48);
    if (shown != slashed && shown != plain)
        qWarning("the tray shows neither picture");
    return shown == slashed;
}

std::optional<qint64> target(const AppModel& model, const QString& id) {
    return model.pod(id)->acState->targetTemperature;
}

// A mode picker for the first demo unit.
Dropdown modes(std::function<void(const QString&)> pick = {}) {
    Dropdown dropdown;
    dropdown.id = QStringLiteral("mode.demo1");
    for (const char* mode : {"cool", "heat", "dry"})
        dropdown.options.append({.id = mode, .title = ACMode::title(mode)});
    dropdown.selected = QStringLiteral("cool");
    dropdown.pick = std::move(pick);
    return dropdown;
}

// The tray item on the demo units.
struct DemoTray {
    ModelRig rig;
    AppModel& model = rig.start(true);
    StatusItemController item{model, StatusItemController::Presentation::tray};
    void set(const std::function<void(Settings&)>& change) {
        Settings settings = model.settings();
        change(settings);
        model.setSettings(settings);
    }
};
} // namespace

class StatusItemTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        loadPanelResources();
        FrameTicker::shared()->setInstant(true);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // " 24.6°"
    }

    void trayDescribesTheReportedUnit_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<bool>("slashed");
        QTest::addColumn<QString>("title");
        const auto row = [](const char* unit, const char* tip, bool slashed, const char* title) {
            QTest::newRow(unit) << QString(unit) << QString(tip) << slashed << QString(title);
        };
        row("demo1", "Alvore, Bedroom Cool", false, " 24.6°");
        row("demo2", "Alvore, Office off", false, " 26.1°");
        row("demo3", "Alvore, Living Room offline", true, " 25.2°");
    }
    void trayDescribesTheReportedUnit() {
        DemoTray demo;
        demo.set([&](Settings& settings) {
            QFETCH(QString, unit);
            settings.menuBarPodID = unit;
        });
        QTEST(demo.item.trayIcon().toolTip(), "tip");
        QTEST(showsSlashed(demo.item), "slashed");
        QTEST(demo.item.shownTitle(), "title");
    }

    void signedOutOrUnnamed() {
        ModelRig signedOut(std::nullopt);
        StatusItemController noKey(signedOut.start(), StatusItemController::Presentation::tray);
        QTRY_COMPARE(signedOut.model->status().kind, AppModel::Status::needsKey);
        QCOMPARE(noKey.trayIcon().toolTip(), QStringLiteral("Alvore"));
        QVERIFY(showsSlashed(noKey));
        QCOMPARE(noKey.shownTitle(), QString());

        ModelRig rig;
        QJsonObject unnamed = unitJson("9f3c27aa", "", false);
        unnamed.remove("room");
        rig.units = {unnamed};
        StatusItemController item(rig.startPolling(), StatusItemController::Presentation::tray);
        QCOMPARE(item.trayIcon().toolTip(), QStringLiteral("Alvore, Sensibo 9f3c off"));
        QVERIFY(!showsSlashed(item));
    }

    void readingFollowsTheSettings() {
        DemoTray demo;
        demo.set([](Settings& settings) { settings.showTemperatureInMenuBar = false; });
        QCOMPARE(demo.item.shownTitle(), QString());
        demo.set([](Settings& settings) {
            settings.showTemperatureInMenuBar = true, settings.unit = "F";
        });
        QCOMPARE(demo.item.shownTitle(), QStringLiteral(" 76.3°"));
        demo.set([](Settings& settings) { settings.menuBarPodID = "demo2"; });
        QCOMPARE(demo.item.shownTitle(), QStringLiteral(" 79.0°"));
    }

    void contextMenuListsUnitsAndPresets() {
        DemoTray demo;
        AppModel& model = demo.model;
        int settingsOpened = 0;
        model.setOnOpenSettings([&] { ++settingsOpened; });
        for (const auto& [name, unit] :
             {std::pair("Night", "demo1"), {"Quiet", "demo1"}, {"Breeze", "demo3"}})
            model.savePreset(name, unit);
        QMenu menu;
        demo.item.fillMenu(menu);
        demo.item.fillMenu(menu); // built afresh, not added to
        QCOMPARE(menuTitles(menu),
                 QStringList({"Open Alvore", "—", "Bedroom", "Office", "Living Room (offline)", "—",
                              "Settings…", "Quit Alvore"}));
        QCOMPARE(menu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly).size(), 3);

        const QMenu& bedroom = *menuEntry(menu, "Bedroom")->menu();
        QCOMPARE(menuTitles(bedroom), QStringList({"Turn Off", "—", "Night", "Quiet"}));
        QVERIFY(menuEntry(bedroom, "Night")->isChecked());
        QVERIFY(!menuEntry(bedroom, "Quiet")->isCheckable()); // no empty box beside it
        const QMenu& office = *menuEntry(menu, "Office")->menu();
        const QMenu& living = *menuEntry(menu, "Living Room (offline)")->menu();
        QCOMPARE(menuTitles(office) + menuTitles(living),
                 QStringList({"Turn On", "Turn On", "—", "Breeze"}));
        QVERIFY(!menuEntry(living, "Turn On")->isEnabled() &&
                !menuEntry(living, "Breeze")->isEnabled());

        menuEntry(office, "Turn On")->trigger();
        QCOMPARE(model.pod(QStringLiteral("demo2"))->acState->on, true);
        model.step(QStringLiteral("demo1"), 2);
        menuEntry(bedroom, "Night")->trigger();
        QCOMPARE(target(model, "demo1"), 22);
        menuEntry(menu, "Settings…")->trigger();
        QCOMPARE(settingsOpened, 1);
    }

    void menuOffersRetryWhileOffline() {
        ModelRig rig;
        rig.listingAnswers = {LoopbackService::Response::json("{}", 500)};
        AppModel& model = rig.start();
        StatusItemController item(model, StatusItemController::Presentation::tray);
        QTRY_COMPARE(model.status().kind, AppModel::Status::offline);
        QMenu menu;
        item.fillMenu(menu);
        QCOMPARE(menuTitles(menu), QStringList({"Open Alvore", "—", model.status().text,
                                                "Try Again", "—", "Settings…", "Quit Alvore"}));
        QVERIFY(!menu.actions().at(2)->isEnabled());
        const qsizetype asked = rig.listings().size();
        menuEntry(menu, "Try Again")->trigger();
        QTRY_COMPARE(rig.listings().size(), asked + 1);
    }

    void clicksOpenAndCloseThePanel() {
        DemoTray demo;
        QSystemTrayIcon& tray = demo.item.trayIcon();
        Q_EMIT tray.activated(QSystemTrayIcon::Trigger);
        QPointer<RootView> content = demo.item.panel().content();
        QVERIFY(demo.model.isPanelOpen() && content);

        demo.model.openDropdown(modes());
        Q_EMIT tray.activated(QSystemTrayIcon::Trigger);
        QVERIFY(!demo.item.isPanelShown() && !demo.model.isPanelOpen() && !demo.model.dropdown());
        QTRY_VERIFY(!content); // the content goes with the panel

        // A right click only ever closes.
        Q_EMIT tray.activated(QSystemTrayIcon::Context);
        QVERIFY(!demo.item.isPanelShown());
        demo.item.show();
        Q_EMIT tray.activated(QSystemTrayIcon::Context);
        QVERIFY(!demo.item.isPanelShown());
        QCOMPARE(demo.model.openCount(), 2);
    }

    void preparedPanelLeavesNothingRunning() {
        DemoTray demo;
        FrameTicker::shared()->setInstant(false);
        demo.item.panel().prepare();
        // The content built ahead of the first open is gone, and with it its motion.
        const bool running = FrameTicker::shared()->isRunning();
        FrameTicker::shared()->setInstant(true);
        QVERIFY(!running);
        QVERIFY(!demo.item.panel().content());
        QVERIFY(!demo.item.isPanelShown());
        QCOMPARE(demo.model.openCount(), 0);
        Q_EMIT demo.item.trayIcon().activated(QSystemTrayIcon::Trigger);
        QVERIFY(demo.item.panel().content());
    }

    void keysStepSelectSwitchAndPick() {
        DemoTray demo;
        PanelWindow& panel = demo.item.panel();
        const auto press = [&](const QList<Qt::Key>& keys, Qt::KeyboardModifiers modifiers = {}) {
            for (const Qt::Key key : keys)
                QTest::keyClick(&panel, key, modifiers);
        };
        // A closed panel takes no keys.
        QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QVERIFY(!demo.item.handle(&up));
        press({Qt::Key_3});
        QCOMPARE(demo.model.selectedID(), QStringLiteral("demo1"));

        demo.item.show();
        press({Qt::Key_Up, Qt::Key_Right});
        QCOMPARE(target(demo.model, "demo1"), 24);
        press({Qt::Key_Left, Qt::Key_Down, Qt::Key_Down});
        QCOMPARE(target(demo.model, "demo1"), 21);
        press({Qt::Key_Up}, Qt::ControlModifier);
        press({Qt::Key_Up}, Qt::AltModifier);
        QCOMPARE(target(demo.model, "demo1"), 21);

        // A text field keeps its keys.
        auto* field = new QLineEdit(&panel);
        field->show();
        field->setFocus();
        QTest::keyClicks(field, QStringLiteral("3p"));
        QCOMPARE(std::pair(field->text(), demo.model.selectedID()),
                 std::pair(QString("3p"), std::optional<QString>("demo1")));
        QCOMPARE(demo.model.pod(QStringLiteral("demo1"))->acState->on, true);
        delete field;

        press({Qt::Key_2});
        press({Qt::Key_P}, Qt::ShiftModifier);
        QCOMPARE(demo.model.pod(QStringLiteral("demo2"))->acState->on, true);
        press({Qt::Key_9}); // beyond the list
        QCOMPARE(demo.model.selectedID(), QStringLiteral("demo2"));
        // The offline unit takes no keys, not even a number.
        press({Qt::Key_3, Qt::Key_1});
        QCOMPARE(demo.model.selectedID(), QStringLiteral("demo3"));

        // An open dropdown takes the arrows, Space picks, Escape closes the dropdown first.
        demo.model.select(1);
        QString picked;
        demo.model.openDropdown(modes([&](const QString& id) { picked = id; }));
        press({Qt::Key_Right, Qt::Key_Left, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Space});
        QCOMPARE(picked, QStringLiteral("heat"));
        QVERIFY(!demo.model.dropdown() && target(demo.model, "demo1") == 21);
        demo.model.openDropdown(modes());
        press({Qt::Key_Escape});
        QVERIFY(!demo.model.dropdown() && demo.item.isPanelShown());
        press({Qt::Key_Escape});
        QVERIFY(!demo.item.isPanelShown());
    }

    void popupStaysOnScreenBesideTheTray_data() {
        QTest::addColumn<QRect>("anchor");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("topLeft");
        const QRect screen(0, 0, 1280, 800);
        QTest::newRow("top right")
            << QRect(1200, 0, 24, 24) << QPoint() << screen << QPoint(900, 28);
        QTest::newRow("bottom") << QRect(600, 776, 24, 24) << QPoint() << screen
                                << QPoint(421, 572);
        QTest::newRow("at the pointer")
            << QRect() << QPoint(700, 300) << screen << QPoint(510, 304);
        QTest::newRow("second screen") << QRect(1290, 0, 24, 24) << QPoint()
                                       << QRect(1280, 30, 1920, 1050) << QPoint(1280, 30);
    }
    void popupStaysOnScreenBesideTheTray() {
        QFETCH(QRect, anchor);
        QFETCH(QPoint, pointer);
        QFETCH(QRect, available);
        QFETCH(QPoint, topLeft);
        QCOMPARE(PanelWindow::placement(QSize(380, 200), anchor, pointer, available),
                 QRect(topLeft, QSize(380, 200)));
    }
};

QTEST_MAIN(StatusItemTest)
#include "tst_status_item.moc"
