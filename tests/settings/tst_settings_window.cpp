#include "client/app_log.h"
#include "panel/accessibility/panel_accessibility.h"
#include "panel/animation/frame_ticker.h"
#include "panel/controls/round_button.h"
#include "settings/accessibility/settings_accessibility.h"
#include "settings/account_tab.h"
#include "settings/preset_row.h"
#include "settings/presets_tab.h"
#include "settings/row.h"
#include "settings/segmented_picker.h"
#include "settings/settings_view.h"
#include "settings/settings_window_controller.h"
#include "settings/tab_bar.h"
#include "support/outcome.h"
#include "support/panel_rig.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The settings window of a model, opened on `tab` as a click on the tab bar opens it.
struct Window {
    Window(AppModel& model, SettingsTab tab) : controller(model) {
        controller.show();
        view = controller.window();
        if (view->tabBar()->selected() != tab)
            QTest::mouseClick(view->tabBar(), Qt::LeftButton, {},
                              view->tabBar()->buttonRect(tab).center());
    }
    // The shown widget of type T labelled `text`.
    template <class T> T* find(const QString& text, QString (T::*label)() const = &T::text) const {
        for (T* widget : shownIn<T>(*view))
            if ((widget->*label)() == text)
                return widget;
        return nullptr;
    }
    Row* row(const QString& title) const { return find<Row>(title, &Row::title); }
    template <class T> T* control(const QString& title) const {
        Row* found = row(title);
        return found ? qobject_cast<T*>(found->control()) : nullptr;
    }
    void click(const QString& text) const {
        auto* button = find<QAbstractButton>(text);
        QVERIFY2(button, qPrintable(text));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QStringList items(const QString& title) const {
        QStringList shown;
        auto* picker = control<QComboBox>(title);
        for (int index = 0; index < picker->count(); ++index)
            shown.append(picker->itemText(index));
        return shown;
    }
    SettingsWindowController controller;
    SettingsView* view = nullptr;
};

} // namespace

class SettingsWindowTest : public QObject {
    Q_OBJECT
public Q_SLOTS:
    void openUrl(const QUrl& url) { opened.append(url); }

private Q_SLOTS:
    void initTestCase() {
        FrameTicker::shared()->setInstant(true);
        QDesktopServices::setUrlHandler("file", this, "openUrl");
        PanelAccessibility::install();
        SettingsAccessibility::install();
    }

    // A screen reader reads the window by its title, the tab bar as page tabs whose action
    // switches the page (as Left and Right do), the switches as check boxes labelled by their
    // row's title and the unit picker's segments as radio buttons.
    void readByScreenReader() {
        ModelRig rig;
        Window window(rig.start(true), SettingsTab::general);
        QCOMPARE(spoken(window.view), "Window 'Alvore Settings'");
        TabBar* bar = window.view->tabBar();
        QAccessibleInterface* tabs = QAccessible::queryAccessibleInterface(bar);
        QStringList read{spoken(tabs)};
        for (int i = 0; i < tabs->childCount(); ++i)
            read << spoken(tabs->child(i));
        QCOMPARE(read, (QStringList{"PageTabList ''", "PageTab 'General' selected",
                                    "PageTab 'Presets'", "PageTab 'Account'"}));
        tabs->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(bar->selected() == SettingsTab::account &&
                spoken(tabs->child(2)).endsWith("selected"));
        for (int press = 0; press < 3; ++press) // the third stays on the first
            QTest::keyClick(bar, Qt::Key_Left);
        QVERIFY(bar->selected() == SettingsTab::general);

        QAccessibleInterface* show = QAccessible::queryAccessibleInterface(
            window.control<QAbstractButton>("Show temperature"));
        const auto labels = show->relations(QAccessible::Label);
        QVERIFY(spoken(show).startsWith("CheckBox") && labels.size() == 1 &&
                labels[0].first->text(QAccessible::Name) == "Show temperature");
        QCOMPARE(spokenIn(*window.control<SegmentedPicker>("Units")),
                 (QStringList{"RadioButton '°C' checked", "RadioButton '°F'"}));
    }

    void tabPersistsAcrossWindowsAndModels() {
        // As on a desktop without a tray, where the app ends with its last window: closing the
        // settings must not quit.
        QApplication::setQuitOnLastWindowClosed(true);
        bool quit = false;
        connect(qApp, &QGuiApplication::lastWindowClosed, this, [&] { quit = true; });
        ModelRig rig;
        {
            Window window(rig.start(true), SettingsTab::presets);
            window.view->close();
            QTRY_VERIFY(!window.controller.window());
            QCoreApplication::processEvents();
            QVERIFY(!quit);
            // The next show() builds a new window, on the same tab; showing it again keeps it.
            window.controller.show();
            SettingsView* shown = window.controller.window();
            QVERIFY(shown && shown != window.view && qobject_cast<PresetsTab*>(shown->content()));
            window.controller.show();
            QCOMPARE(window.controller.window(), shown);
        }
        // A restart: a new model on the same store opens on the tab last shown.
        rig.model.reset();
        SettingsWindowController again(rig.start(true));
        again.show();
        QVERIFY(qobject_cast<PresetsTab*>(again.window()->content()));
    }

    void generalTabFollowsTheModel() {
        ModelRig rig;
        // 45 s is not an interval the picker offers.
        Settings{.menuBarPodID = {}, .closedInterval = 45}.save(rig.settings.store());
        AppModel& model = rig.start(true);
        Window window(model, SettingsTab::general);
        // The selected tab sits in a capsule: round at its ends, empty in its box's corners.
        TabBar* bar = window.view->tabBar();
        const QImage tabs = renderOnBlack(*bar);
        const QRect button = bar->buttonRect(SettingsTab::general);
        int left = button.left();
        while (tabs.pixelColor(left, button.center().y()) == Qt::black && left < button.right())
            ++left;
        QVERIFY(left < button.center().x() &&
                tabs.pixelColor(left + 2, button.top() + 8) == Qt::black);

        auto* room = window.control<QComboBox>("Room");
        QCOMPARE(window.items("Room") << room->currentText(),
                 (QStringList{"Bedroom", "Office", "Living Room", "Bedroom"}));
        room->activated(2);
        QCOMPARE(model.settings().menuBarPodID, QStringLiteral("demo3"));

        auto* refresh = window.control<QComboBox>("Refresh");
        QCOMPARE(window.items("Refresh") << QString::number(refresh->currentIndex()),
                 (QStringList{"Every 30 seconds", "Every minute", "Every 2 minutes",
                              "Every 5 minutes", "-1"}));
        refresh->activated(2);
        QCOMPARE(refresh->currentText(), QStringLiteral("Every 2 minutes"));
        QCOMPARE(model.settings().closedInterval, qint64(120));

        // The window's switches are its own, not the panel's power switch: no tooltip, and a
        // screen reader reads them as on or off, named after their row.
        auto* showTemperature = window.control<QAbstractButton>("Show temperature");
        QCOMPARE(std::pair(showTemperature->toolTip(), spoken(showTemperature)),
                 std::pair(QString(), QString("CheckBox 'Show temperature' checked")));
        QTest::mouseClick(showTemperature, Qt::LeftButton);
        QVERIFY(!model.settings().showTemperatureInMenuBar);
        QCOMPARE(spoken(showTemperature), "CheckBox 'Show temperature'");

        QCOMPARE(window.control<SegmentedPicker>("Units")->value(), QStringLiteral("C"));
        window.click("°F");
        QVERIFY(Settings::load(rig.settings.store()).unit == "F" &&
                window.control<SegmentedPicker>("Tray icon")->value() == "automatic");
        window.click("Dark");
        QCOMPARE(Settings::load(rig.settings.store()).trayIcon, Settings::TrayIcon::dark);

        auto* launch = window.control<QAbstractButton>("Launch at login");
        QTest::mouseClick(launch, Qt::LeftButton);
        QVERIFY(model.launchAtLogin() && spoken(launch).endsWith(" checked"));

        // Signing out from elsewhere empties the picker at once.
        model.account().exitDemo();
        QCOMPARE(window.items("Room"), QStringList{"No units yet"});
    }

    void presetsAreEditedInPlace() {
        ModelRig rig;
        AppModel& model = rig.start(true);
        model.presets().save("One", *model.pod("demo1"));
        model.presets().save("Two", *model.pod("demo1"));
        Window window(model, SettingsTab::presets);
        auto rows = [&] { return qobject_cast<PresetsTab*>(window.view->content())->rows(); };
        // Which rows can move up and down.
        const auto moves = [&] {
            QList<bool> enabled;
            for (PresetRow* row : rows())
                enabled << row->moveUpButton()->isEnabled() << row->moveDownButton()->isEnabled();
            return enabled;
        };
        QCOMPARE(moves(), (QList<bool>{false, true, true, false}));
        QVERIFY(window.find<QLabel>("No presets")); // Office and Living Room have none

        // Every keystroke renames; the field keeps what was typed past the model's 40 characters.
        QLineEdit* field = rows()[0]->nameField();
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, "N" + QString(45, u'x'));
        QCOMPARE(std::pair(model.presets().all().at(0).name.size(), field->text().size()),
                 std::pair(qsizetype(40), qsizetype(46)));

        QTest::mouseClick(rows()[0]->moveDownButton(), Qt::LeftButton);
        QCOMPARE(model.presets().all().at(0).name, QStringLiteral("Two"));
        QTRY_COMPARE(rows().size(), 2);
        QCOMPARE(rows()[0]->nameField()->text(), QStringLiteral("Two"));

        QTest::mouseClick(rows()[0]->deleteButton(), Qt::LeftButton);
        QCOMPARE(model.presets().all().size(), 1);
        QTRY_COMPARE(moves(), (QList<bool>{false, false}));

        // A preset saved from a card shows at once.
        model.presets().save("Three", *model.pod("demo2"));
        QTRY_COMPARE(rows().size(), 2);
        QCOMPARE(rows()[1]->nameField()->text(), QStringLiteral("Three"));
    }

    void accountReplacesAndDisconnectsTheKeyThenShowsTheDemo() {
        ModelRig rig(QJsonArray{unitJson("a1", "Hall", true)});
        AppModel& model = rig.startPolling();
        model.presets().save("Kept", *model.pod("a1"));
        Window window(model, SettingsTab::account);
        const auto keyDetail = [&] { return window.row("API key")->detail(); };
        QCOMPARE(keyDetail(), QStringLiteral("••••0123, kept in your keyring."));
        QVERIFY(window.row("Hall"));

        window.click("Replace…");
        auto* field = window.view->findChild<QLineEdit*>();
        auto* tab = qobject_cast<AccountTab*>(window.view->content());
        QCOMPARE(field->echoMode(), QLineEdit::Password);
        rig.otherAnswers = [](const LoopbackService::Request&) { return keyCheck(401); };
        QTest::keyClicks(field, "refused-key-9999");
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(tab->isBusy() && !field->isEnabled());
        QTRY_VERIFY(!tab->isBusy());
        QVERIFY(window.find<QLabel>("That key wasn't accepted. Check it's copied in full."));
        const std::optional<QString> stored("stored-key-0123");
        QCOMPARE(std::pair(rig.keys.storedKey(), model.account().apiKey()),
                 std::pair(stored, stored));

        rig.otherAnswers = [](const LoopbackService::Request&) { return keyCheck(200); };
        field->clear();
        QTest::keyClicks(field, "accepted-key-4567");
        window.click("Check and Save");
        QTRY_VERIFY(!tab->isBusy());
        QCOMPARE(rig.keys.storedKey(), QStringLiteral("accepted-key-4567"));
        QVERIFY(!tab->isReplacing() && !field->isVisibleTo(window.view) && !tab->error());
        QCOMPARE(keyDetail(), QStringLiteral("••••4567, kept in your keyring."));

        // The key row says when the keyring kept the key the user removed, and when it refused
        // the key in use.
        rig.keys.setProblem(QStringLiteral("the keyring stayed locked"));
        window.click("Disconnect");
        QTRY_COMPARE(keyDetail(), QStringLiteral("Not connected. Couldn't remove the key from your "
                                                 "keyring: the keyring stayed locked."));
        QCOMPARE(model.presets().all().size(), 1);
        QVERIFY(window.row("No units yet") && !window.row("Hall") &&
                window.find<QPushButton>("Add Key…") && !window.find<QPushButton>("Disconnect"));
        QVERIFY(outcomeOf(model.account().signIn("accepted-key-4567")).value);
        QCOMPARE(keyDetail(), QStringLiteral("Used until Alvore quits: the keyring stayed locked"));

        // The demo lists its units, with no key to disconnect.
        model.account().loadDemo();
        QCOMPARE(window.row("Bedroom")->detail(),
                 QStringLiteral("Sky · Cool, Heat, Fan, Dry, Auto"));
        QCOMPARE(window.control<QLabel>("Living Room")->text(), QStringLiteral("Offline"));
        QVERIFY(!window.find<QPushButton>("Disconnect"));
        window.click("Show Log");
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(AppLog::path())});
    }

private:
    QList<QUrl> opened;
};

QTEST_MAIN(SettingsWindowTest)
#include "tst_settings_window.moc"
