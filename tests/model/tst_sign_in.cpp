#include "model/key_submission.h"
#include "support/log_watch.h"
#include "support/model_rig.h"
#include "support/outcome.h"
#include "support/settle.h"

using namespace std::chrono_literals;

// What the service answers a key it accepts.
const auto accepted = LoopbackService::Response::json(envelope(QJsonArray{}));

class SignInTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A text that cannot be a key is refused without asking the service; a key is trimmed,
    // checked with the service and stored, and the demo gives way to polling.
    void signInFromTheDemo() {
        ModelRig rig(std::nullopt);
        rig.units = {unitJson("a", "Hall", true)};
        rig.service.on("GET", listingPath, accepted);
        AppModel& model = rig.start(true);
        QCOMPARE(outcomeOf(model.account().signIn("abcde FGH12")).failure->kind(),
                 SensiboAPI::Failure::Kind::badKey);
        QVERIFY(rig.service.requests().isEmpty() && model.isDemo());
        QVERIFY(outcomeOf(model.account().signIn("  abcdEFGH12\n")).value);
        QCOMPARE(rig.service.requests().first().queryValue("fields"), "id");
        QCOMPARE(rig.service.requests().first().queryValue("apiKey"), "abcdEFGH12");
        QCOMPARE(rig.keys.storedKey(), "abcdEFGH12");
        QVERIFY(!model.isDemo() && model.history().isEmpty());
        QVERIFY(rig.waitForSleeps({60'000}) && model.status().kind == AppModel::Status::ready);
        QCOMPARE(model.pods().first().id, "a");
        QCOMPARE(rig.listings().last().queryValue("apiKey"), "abcdEFGH12");

        // What can be a key: letters and digits of any script, "-" and "_"; a letter with a
        // combining accent is one character.
        const QString twoHundred = QString("a1-_").repeated(50);
        QVERIFY(couldBeKey(twoHundred) && !couldBeKey(twoHundred + "x") &&
                !couldBeKey("abcde FGH12"));
        QVERIFY(couldBeKey(QString::fromUtf8("n\u0303ame-\u0661\u0662\u0663_\u00e9")) &&
                !couldBeKey(QString::fromUtf8("abcdefgh\u0303i"))); // 9 characters
    }

    // The key works for the run all the same, and the banner says it is not kept; what the tray,
    // the settings window and a desktop without a keyring tell of it are tst_status_item's
    // keyKeptOnlyInMemory, tst_settings_window's account test and tst_without_keyring.
    void keyringRefusingTheKey() {
        ModelRig rig(std::nullopt);
        rig.units = {unitJson("a", "Hall", true)};
        rig.service.on("GET", listingPath, accepted);
        rig.keys.setProblem(QStringLiteral("the keyring stayed locked"));
        AppModel& model = rig.start();
        QVERIFY(rig.waitForNeedsKey() && !model.account().unkeptKeyReason()); // no key in use
        QVERIFY(outcomeOf(model.account().signIn("goodkey-12345")).value);
        QVERIFY(model.banner() && model.banner() == model.account().keyWarning());
        QCOMPARE(rig.keys.storedKey(), std::nullopt);
        QVERIFY(QTest::qWaitFor([&] { return model.status().kind == AppModel::Status::ready; }));
        QCOMPARE(rig.listings().last().queryValue("apiKey"), "goodkey-12345");

        // Once the keyring takes the key, the warning goes.
        rig.keys.setProblem(std::nullopt);
        model.account().signOut();
        QVERIFY(outcomeOf(model.account().signIn("goodkey-12345")).value);
        QCOMPARE(rig.keys.storedKey(), "goodkey-12345");
        QVERIFY(!model.account().keyWarning() && !model.account().unkeptKeyReason());
    }

    // The key the user removed stays in the keyring: the user hears of it, the log says why
    // without the key, and the app stays signed out for the run. Out of the demo without a key
    // everything of the demo goes and nothing reaches the service. (With a key the next listing
    // comes at once: tst_polling's historyReloadsAfterTenMinutesAFailureOrASession.)
    void keyringKeepingARemovedKey() {
        ModelRig rig({unitJson("a", "Hall", true)});
        AppModel& model = rig.startPolling();
        rig.keys.setProblem(QStringLiteral("the keyring stayed locked"));
        LogWatch log;
        model.account().signOut();
        // Its words are what tst_settings_window's account test reads in the key row.
        QVERIFY(QTest::qWaitFor([&] { return model.account().keyWarning().has_value(); }));
        QCOMPARE(log.newLines(),
                 QStringList{"the key store can't remove the key: the keyring stayed locked"});
        QCOMPARE(rig.keys.storedKey(), "stored-key-0123");
        rig.keys.setProblem(std::nullopt);
        model.account().loadDemo();
        model.account().exitDemo();
        QVERIFY(rig.waitForNeedsKey() && !model.isDemo() && model.pods().isEmpty() &&
                model.history().isEmpty() && !model.lastUpdated() && !model.selectedID());
        QVERIFY(rig.staysQuiet(rig.service.requests().size()) && !model.account().apiKey());
    }

    // A key check still under way when the user signs out or picks the demo is dropped.
    void sessionEndDropsTheKeyCheck() {
        for (const bool demo : {false, true}) {
            ModelRig rig;
            rig.otherAnswers = [](const auto&) { return heldBack(accepted); };
            AppModel& model = rig.startPolling();
            auto check = model.account().signIn("newkey-123456");
            QVERIFY(rig.service.waitForRequests(2));
            demo ? model.account().loadDemo() : model.account().signOut();
            rig.service.release();
            QVERIFY(outcomeOf(std::move(check)).cancelled);
            QVERIFY(settle() && !model.account().apiKey() && model.isDemo() == demo);
            QCOMPARE(rig.keys.storedKey(),
                     demo ? std::optional<QString>("stored-key-0123") : std::nullopt);
        }
    }

    // Signing out forgets the units, the key, the held settings, the failures and the banner:
    // none of them slows down or clouds the next session.
    void signOutForgetsEverything() {
        ModelRig rig({unitJson("a", "Hall", false)});
        rig.service.on("GET", listingPath, accepted);
        AppModel& model = rig.startPolling();
        model.step("a", +1); // held while off
        rig.listingAnswers = {errorAnswer, errorAnswer, errorAnswer};
        QVERIFY(rig.poll(60s, 120'000) && rig.poll(120s, 240'000) && rig.poll(240s, 300'000));
        model.show(QStringLiteral("Couldn't change Hall: This computer is offline."));
        model.account().signOut();
        QVERIFY(settle() && model.status().kind == AppModel::Status::needsKey);
        QVERIFY(model.pods().isEmpty() && model.history().isEmpty() && !model.lastUpdated() &&
                !model.banner());
        QVERIFY(!rig.keys.storedKey() && rig.staysQuiet(rig.service.requests().size()) &&
                rig.clock.pendingSleeps().isEmpty());
        rig.listingAnswers = {errorAnswer};
        QVERIFY(outcomeOf(model.account().signIn("newkey-123456")).value);
        QVERIFY(rig.waitForSleeps({30'000})); // one failure at the open panel's pace
    }

    void demoNeverReachesTheService() {
        // The service refused the stored key; the user picks the demo from the sign-in view.
        ModelRig rig;
        rig.listingAnswers = {LoopbackService::Response::json("{}", 401)};
        AppModel& model = rig.start();
        QVERIFY(rig.waitForNeedsKey());
        model.account().loadDemo();
        QVERIFY(model.isDemo() && model.status().kind == AppModel::Status::ready);
        QVERIFY(model.selectedID() == "demo1" && model.history().size() == 3);
        QCOMPARE(model.lastUpdated(), rig.clock.now().addSecs(-12));
        // Changes apply at once and wait for nothing; how a change is fitted to the unit is
        // ACStateRules' and tst_changes' to check.
        model.restartPolling();
        model.step("demo1", -1);
        model.stepFan("demo1", +1);    // demo1's fan levels: auto, quiet, low, medium, high
        model.setMode("demo3", "dry"); // switches the unit on
        model.togglePower("demo2");
        const ACState one = *model.pod("demo1")->acState, three = *model.pod("demo3")->acState;
        QCOMPARE(std::tuple(one.targetTemperature.value_or(0), one.fanLevel, three.mode,
                            three.on.value_or(false), model.pod("demo2")->isOn()),
                 std::tuple(qint64(21), std::optional<QString>("quiet"),
                            std::optional<QString>("dry"), true, true));
        QCOMPARE(rig.clock.pendingSleeps(), QList<qint64>{});

        // Timers are neither set nor cancelled; one that fires goes.
        const std::optional<PodTimer> demoTimer = model.pod("demo1")->timer;
        QVERIFY(demoTimer);
        model.features().setTimer("demo2", 30, true);
        model.features().cancelTimer("demo1");
        QCOMPARE(std::pair(model.pod("demo2")->timer, model.pod("demo1")->timer),
                 std::pair(std::optional<PodTimer>(), demoTimer));
        model.features().timerFired("demo1");
        // The refused listing only.
        QVERIFY(!model.pod("demo1")->timer && rig.staysQuiet(1) && model.isDemo());
    }
};

QTEST_GUILESS_MAIN(SignInTest)
#include "tst_sign_in.moc"
