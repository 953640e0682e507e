#include "model/dropdown_builders.h"
#include "panel/accessibility/focus_ring.h"
#include "panel/accessibility/panel_accessibility.h"
#include "panel/card/more_toggle.h"
#include "panel/card/unit_card.h"
#include "panel/common/panel_menu.h"
#include "panel/common/status_line.h"
#include "panel/controls/counting_figure.h"
#include "panel/controls/power_switch.h"
#include "panel/controls/prominent_button.h"
#include "panel/root/banner.h"
#include "panel/root/panel_header.h"
#include "panel/root/placeholder.h"
#include "panel/root/root_view.h"
#include "panel/root/unit_list.h"
#include "panel/sign_in/login_view.h"
#include "panel/style/short_time.h"
#include "support/panel_rig.h"

#include <QAccessible>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>

using Content = RootView::Content;

// A model that has reached `setup`: "needsKey", "loading" (the listing stays unanswered),
// "offline" (never listed), "ready" with units switched as in `on`, or "demo".
static std::unique_ptr<ModelRig> rigIn(const QString& setup, const QList<bool>& on = {}) {
    auto rig = std::make_unique<ModelRig>(
        setup == "needsKey" ? std::nullopt : std::optional<QString>("stored-key-0123"));
    for (int index = 0; index < on.size(); ++index)
        rig->units.append(unitJson(QString("u%1").arg(index), "Room", on[index]));
    if (setup == "offline" || setup == "loading")
        rig->listingAnswers = {setup == "offline" ? errorAnswer : heldBack(errorAnswer)};
    const AppModel& model = rig->start(setup == "demo");
    if (setup != "loading")
        requireSetUp(
            QTest::qWaitFor([&] { return model.status().kind != AppModel::Status::loading; }),
            "the model did not reach " + setup);
    return rig;
}

class RootViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        FrameTicker::shared()->setInstant(true);
        PanelAccessibility::install();
    }

    // Every control of the sign-in view has a name and a role of its own (e2e.accessibility
    // walks the units' panel, and finds the panel's window under the application, as
    // shell.status_item does). The key field is read as a password field that never gives away
    // what was typed.
    void screenReaderReadsTheSignInView() {
        const auto rig = rigIn("needsKey");
        RootView root(*rig->model);
        root.show();
        auto* field = shownIn<QLineEdit>(root).value(0);
        QTest::keyClicks(field, "secret-key-0123");
        QAccessibleInterface* key = QAccessible::queryAccessibleInterface(field);
        QVERIFY(key->state().passwordEdit && !key->text(QAccessible::Value).contains("secret") &&
                !key->textInterface()->text(0, 15).contains("secret"));

        // Every control is named: a role with an empty name reads as "Role ''".
        const QStringList read = spokenIn(root);
        const QRegularExpression unnamed("^(Button|CheckBox|ComboBox|SpinBox|ButtonMenu|Link|"
                                         "EditableText) ''");
        QVERIFY2(read.filter(unnamed).isEmpty() && read.contains("EditableText 'API key'"),
                 qPrintable(read.join(", ")));
    }

    // Tab reaches every card's switch, down a list that scrolls to it, with the ring around
    // it, and Return presses the focused button.
    void keyboardReachesTheControls() {
        const auto rig = rigIn("ready", {true, true, true, true, true});
        AppModel& model = *rig->model;
        RootView root(model);
        root.show();
        root.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&root));
        const QList<PowerSwitch*> switches = shownIn<PowerSwitch>(root);
        QSet<QWidget*> reached;
        int figures = 0;
        auto* ring = root.findChild<FocusRing*>();
        for (int i = 0; i < 100 && reached.size() < switches.size(); ++i) {
            // Keys go to the focused control, as the window system sends them.
            QTest::keyClick(root.focusWidget() ? root.focusWidget() : &root, Qt::Key_Tab);
            QWidget* focus = root.focusWidget();
            const QRect around(focus->mapTo(&root, QPoint(0, 0)), focus->size());
            QVERIFY(ring->isVisible() && ring->target() == focus &&
                    ring->geometry().contains(around));
            if (switches.contains(focus))
                reached.insert(focus);
            figures += qobject_cast<CountingNumber*>(focus) != nullptr;
        }
        // The target figures are on the way, and the unit of the card in focus is picked.
        QCOMPARE(reached.size(), switches.size());
        QVERIFY(figures > 0 && model.selectedID() == model.pods().last().id);
        auto* list = root.findChild<QScrollArea*>();
        QVERIFY(list->verticalScrollBar()->value() > 0);
        // Scrolled half out of the list under the header, a control's ring stays in the list.
        switches.at(1)->setFocus(Qt::TabFocusReason);
        QScrollBar* bar = list->verticalScrollBar();
        bar->setValue(bar->value() + switches.at(1)->mapTo(list->viewport(), QPoint(0, 0)).y() +
                      switches.at(1)->height() / 2);
        const QRect viewport(list->viewport()->mapTo(&root, QPoint(0, 0)),
                             list->viewport()->size());
        const QRegion painted = ring->mask().isEmpty() ? QRegion(ring->rect()) : ring->mask();
        QVERIFY(ring->isVisible() &&
                viewport.contains(painted.boundingRect().translated(ring->pos())));
        auto* more = root.findChild<MoreToggle*>();
        more->setFocus(Qt::TabFocusReason);
        QTest::keyClick(more, Qt::Key_Return);
        QTRY_VERIFY(more->isExpanded());
    }

    void contentFollowsStatusAndUnits() {
        // The setup and units, the content, the placeholder's title, and what the status line
        // says 90 s after the model got there.
        const QList<std::tuple<QString, QList<bool>, Content, QString, QString>> cases{
            {"needsKey", {}, Content::signIn, "", "Not connected"},
            {"loading", {}, Content::loading, "Loading your units…", "Connecting…"},
            {"offline", {}, Content::offline, "Can't reach Sensibo", "Can't reach Sensibo"},
            {"ready", {}, Content::noUnits, "No units yet", ""},
            {"ready", {false}, Content::units, "", "Updated 1m ago"},
            {"ready", {true, false, true}, Content::units, "", "2 of 3 on · updated 1m ago"},
            {"ready", {false, false}, Content::units, "", "All off · updated 1m ago"},
            {"demo", {}, Content::units, "", "1 of 3 on · demo, made-up units"}};
        for (const auto& [setup, on, content, placeholder, status] : cases) {
            const auto rig = rigIn(setup, on);
            RootView root(*rig->model);
            root.show();
            QCOMPARE(std::pair(root.content(), root.width()), std::pair(content, 380));
            const qsizetype units = setup == "demo" ? 3 : on.size();
            const QList<UnitList*> lists = shownIn<UnitList>(root);
            QCOMPARE(
                (QList<qsizetype>{shownIn<PanelHeader>(root).size(),
                                  shownIn<LoginView>(root).size(),
                                  shownIn<Placeholder>(root).size(), lists.size(),
                                  lists.isEmpty() ? 0 : lists.first()->cards().size(),
                                  !placeholder.isEmpty() &&
                                      spokenIn(root).contains("StaticText '" + placeholder + "'")}),
                (QList<qsizetype>{units != 1, content == Content::signIn, !placeholder.isEmpty(),
                                  units > 0, units, !placeholder.isEmpty()}));
            if (!status.isEmpty())
                QCOMPARE(StatusLine::text(*rig->model, rig->model->now().addSecs(90)), status);
        }
    }

    void bannerAndOfflineKeepTheList() {
        ModelRig rig(QJsonArray{unitJson("a", "Hall", true), unitJson("b", "Den", false)});
        AppModel& model = rig.startPolling();
        RootView root(model);
        root.show();
        UnitList* list = shownIn<UnitList>(root).value(0);
        Banner* banner = root.findChild<Banner*>();
        QVERIFY(list && banner && !banner->isVisible());

        // The banner lies above the content and the dropdown layer, also once a dropdown
        // opens: a click there reaches the banner, and clears it.
        model.show("Couldn't change Hall: This computer is offline.");
        QVERIFY(banner->isVisible()); // and a screen reader reads it as an alert
        QCOMPARE(spoken(banner), "AlertMessage 'Couldn't change Hall: This computer is offline.'");
        QCOMPARE(root.childAt(banner->geometry().center()), banner);
        model.picker().open(Dropdowns::mode(model, *model.pod("a"), QRectF(20, 40, 80, 24)));
        QCOMPARE(root.childAt(banner->geometry().center()), banner);
        QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(banner->width() - 4, 4));
        QVERIFY(!model.banner() && !banner->isVisible());
        model.picker().close();

        // Offline, the list stays with its last state.
        rig.listingAnswers = {errorAnswer};
        model.restartPolling();
        QTRY_COMPARE(model.status().kind, AppModel::Status::offline);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(root.content() == Content::units && shownIn<UnitList>(root) == QList{list});
        QCOMPARE(shownIn<StatusLine>(root).first()->accessibleName(),
                 QStringLiteral("Can't reach Sensibo · last seen just now"));
    }

    void heightFollowsTheContentAndTryAgainPollsAtOnce() {
        const auto rig = rigIn("offline");
        AppModel& model = *rig->model;
        RootView root(model);
        root.show();
        QTest::qWait(0);
        const int headerHeight = shownIn<PanelHeader>(root).first()->height();
        QVERIFY(headerHeight > 30 && root.height() == headerHeight + Placeholder::blockHeight);

        const qsizetype asked = rig->listings().size();
        QTest::mouseClick(shownIn<ProminentButton>(root).first(), Qt::LeftButton);
        QTRY_COMPARE(model.status().kind, AppModel::Status::ready);
        QVERIFY(rig->listings().size() == asked + 1 && root.content() == Content::noUnits);

        // Signed out, the taller sign-in view takes the placeholder's place.
        model.account().signOut();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qWait(0);
        QCOMPARE(root.height(), headerHeight + shownIn<LoginView>(root).value(0)->height());
        QCOMPARE(root.size(), root.sizeHint());
    }

    void shortTime() {
        const QDateTime now = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
        QStringList shown;
        for (const qint64 ms : {-3000, 4999, 5000, 3'599'000, 3'600'000}) // -3 s: a clock set back
            shown << ShortTime::ago(now.addMSecs(-ms), now);
        for (const qint64 ms : {245'000, 3'729'000, -10'000})
            shown << ShortTime::countdown(now.addMSecs(ms), now);
        QCOMPARE(shown, (QStringList{"just now", "just now", "5s ago", "59m ago", "1h ago", "4:05",
                                     "1:02:09", "0:00"}));
    }

    void listKeepsCardsByUnitAndScrollsToTheSelection() {
        ModelRig rig(QJsonArray{unitJson("a", "Hall", false), unitJson("b", "Den", false),
                                unitJson("c", "Loft", false)});
        AppModel& model = rig.startPolling();
        UnitList list(model);
        list.setFixedWidth(380);
        list.show();
        QTest::qWait(0);
        const QList<UnitCard*> first = list.cards();
        const QPointer<UnitCard> gone = first[1];
        QVERIFY(list.height() > first[2]->geometry().bottom());

        // One unit goes, two swap places and many come: the cards stay with their units, and
        // the list stops at the cap and scrolls to the selected card.
        rig.units = {unitJson("c", "Loft", false), unitJson("a", "Hall", false)};
        for (int index = 0; index < 12; ++index)
            rig.units.append(unitJson(QString("u%1").arg(index), "Room", true));
        model.restartPolling();
        QVERIFY(QTest::qWaitFor([&] { return list.cards().size() == 14; }, 5000));
        QCOMPARE(list.cards().mid(0, 2), (QList<UnitCard*>{first[2], first[0]}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qWait(0);
        QVERIFY(!gone);
        QCOMPARE(list.height(), UnitList::heightCap(list.screen()->availableGeometry().height()));
        QScrollBar* bar = list.findChild<QScrollArea*>()->verticalScrollBar();
        const int visible = list.findChild<QScrollArea*>()->viewport()->height();
        QCOMPARE(bar->value(), 0);
        model.select(14);
        QCOMPARE(list.cards().last()->geometry().bottom() + 1 - bar->value(), visible);
        // Going back up, the card's top edge comes to the top, and no further.
        model.select(13);
        QCOMPARE(bar->value(), list.cards()[12]->geometry().top());
        model.select(1);
        QCOMPARE(bar->value(), 0);
    }

    void panelMenu() {
        ModelRig rig;
        AppModel& model = rig.start(true);
        QSignalSpy settingsOpened(&model, &AppModel::settingsRequested);
        PanelMenu gear(model);
        gear.show();

        QTest::mouseClick(&gear, Qt::LeftButton);
        QMenu* menu = gear.findChild<QMenu*>();
        QCOMPARE(menuTitles(*menu),
                 (QStringList{"Refresh Now", "Settings…", "Exit Demo", "—", "Quit Alvore"}));
        menuEntry(*menu, "Settings…")->trigger();
        menuEntry(*menu, "Exit Demo")->trigger();
        QVERIFY(settingsOpened.size() == 1 && !model.isDemo());
        menu->close();

        // Out of the demo the entry goes.
        QTest::mouseClick(&gear, Qt::LeftButton);
        QCOMPARE(menuTitles(*menu), (QStringList{"Refresh Now", "Settings…", "—", "Quit Alvore"}));
    }
};

QTEST_MAIN(RootViewTest)
#include "tst_root_view.moc"
