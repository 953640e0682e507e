#include "support/model_rig.h"
#include "support/outcome.h"
#include "support/settle.h"

using namespace std::chrono_literals;

namespace {
const QString verifyFields = QStringLiteral("id");

QList<LoopbackService::Request> verifications(const LoopbackService& service) {
    QList<LoopbackService::Request> found;
    for (const auto& request : service.requests("GET", listingPath))
        if (request.queryValue("fields") == verifyFields)
            found.append(request);
    return found;
}

void acceptKeys(LoopbackService& service) {
    service.on("GET", listingPath, LoopbackService::Response::json(envelope(QJsonArray{})));
}
} // namespace

class SignInTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keyIsCheckedBeforeAsking_data();
    void keyIsCheckedBeforeAsking();
    void rejectedKeyChangesNothing();
    void keyringRefusingTheKey();
    void signInStartsPolling();
    void signOutForgetsEverything();
    void startWithoutKey();
    void demoNeverReachesTheService();
    void exitDemo_data();
    void exitDemo();
    void signInLeavesTheDemo();
};

void SignInTest::keyIsCheckedBeforeAsking_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("sent"); // empty: refused without a request
    const QString ten = "abcdEFGH12";
    const QString twoHundred = QString("a1-_").repeated(50);
    QTest::newRow("9 characters") << "abcdEFGH1"
                                  << "";
    QTest::newRow("201 characters") << twoHundred + "x"
                                    << "";
    QTest::newRow("space inside") << "abcde FGH12"
                                  << "";
    QTest::newRow("10 characters") << ten << ten;
    QTest::newRow("200 characters") << twoHundred << twoHundred;
    QTest::newRow("trimmed") << "  " + ten + "\n" << ten;
    // Letters and digits of any script; a letter with a combining accent is one character.
    QTest::newRow("accents and Arabic digits")
        << QString::fromUtf8("n\u0303ame-\u0661\u0662\u0663_\u00e9")
        << QString::fromUtf8("n\u0303ame-\u0661\u0662\u0663_\u00e9");
    QTest::newRow("9 with a combining mark") << QString::fromUtf8("abcdefgh\u0303i") << "";
}

void SignInTest::keyIsCheckedBeforeAsking() {
    QFETCH(QString, typed);
    QFETCH(QString, sent);
    ModelRig rig(std::nullopt);
    acceptKeys(rig.service);
    AppModel& model = rig.start();
    const auto outcome = outcomeOf(model.signIn(typed));
    if (sent.isEmpty()) {
        QVERIFY(outcome.failure);
        QCOMPARE(outcome.failure->kind(), SensiboAPI::Failure::Kind::badKey);
        QCOMPARE(rig.service.requests().size(), 0);
        QCOMPARE(model.status().kind, AppModel::Status::needsKey);
    } else {
        QVERIFY(outcome.value);
        QCOMPARE(verifications(rig.service).size(), 1);
        QCOMPARE(verifications(rig.service).first().queryValue("apiKey"), sent);
        QCOMPARE(rig.keys.storedKey(), sent);
    }
}

void SignInTest::rejectedKeyChangesNothing() {
    ModelRig rig(std::nullopt);
    rig.service.on("GET", listingPath, LoopbackService::Response::json("{}", 401));
    AppModel& model = rig.start();
    const auto outcome = outcomeOf(model.signIn("wrongkey-12345"));
    QVERIFY(outcome.failure);
    QCOMPARE(outcome.failure->kind(), SensiboAPI::Failure::Kind::badKey);
    QCOMPARE(model.status().kind, AppModel::Status::needsKey);
    QCOMPARE(rig.keys.storedKey(), std::nullopt);
    QCOMPARE(rig.service.requests().size(), 1);
}

void SignInTest::keyringRefusingTheKey() {
    const QString warning = QStringLiteral(
        "Your key can't be kept: the keyring stayed locked. It works until Alvore quits.");
    ModelRig rig(std::nullopt);
    rig.units = {unitJson("a", "Hall", true)};
    acceptKeys(rig.service);
    rig.keys.setProblem(QStringLiteral("the keyring stayed locked"));
    AppModel& model = rig.start();
    QVERIFY(QTest::qWaitFor([&] { return model.status().kind == AppModel::Status::needsKey; }));
    QCOMPARE(model.keyWarning(), warning);

    // The key works for this run all the same, and the banner says it is not kept.
    QVERIFY(outcomeOf(model.signIn("goodkey-12345")).value);
    QCOMPARE(rig.keys.storedKey(), std::nullopt);
    QCOMPARE(model.apiKey(), QStringLiteral("goodkey-12345"));
    QCOMPARE(model.banner(), warning);
    QVERIFY(QTest::qWaitFor([&] { return model.status().kind == AppModel::Status::ready; }));
    QCOMPARE(rig.listings().last().queryValue("apiKey"), QStringLiteral("goodkey-12345"));

    // Once the keyring takes the key, the warning goes.
    rig.keys.setProblem(std::nullopt);
    model.signOut();
    QVERIFY(outcomeOf(model.signIn("goodkey-12345")).value);
    QCOMPARE(rig.keys.storedKey(), QStringLiteral("goodkey-12345"));
    QCOMPARE(model.keyWarning(), std::nullopt);
}

void SignInTest::signInStartsPolling() {
    ModelRig rig(std::nullopt);
    rig.units = {unitJson("a", "Hall", true)};
    acceptKeys(rig.service);
    AppModel& model = rig.start();
    QVERIFY(outcomeOf(model.signIn("newkey-123456")).value);
    QCOMPARE(model.status().kind, AppModel::Status::loading);
    QVERIFY(rig.waitForSleeps({60'000}));
    QCOMPARE(model.status().kind, AppModel::Status::ready);
    QCOMPARE(model.pods().size(), 1);
    QCOMPARE(rig.listings().last().queryValue("apiKey"), QStringLiteral("newkey-123456"));
}

void SignInTest::signOutForgetsEverything() {
    ModelRig rig;
    rig.units = {unitJson("a", "Hall", false)};
    AppModel& model = rig.startPolling();
    model.step("a", +1); // held while off
    model.signOut();
    QVERIFY(settle());
    QCOMPARE(model.status().kind, AppModel::Status::needsKey);
    QVERIFY(model.pods().isEmpty());
    QVERIFY(model.history().isEmpty());
    QCOMPARE(rig.keys.storedKey(), std::nullopt);
    const qsizetype asked = rig.service.requests().size();
    model.woke();
    model.panelOpened();
    rig.clock.advance(1h);
    QVERIFY(settle());
    QCOMPARE(rig.service.requests().size(), asked);
    QCOMPARE(rig.clock.pendingSleeps(), QList<qint64>{});
}

void SignInTest::startWithoutKey() {
    ModelRig rig(std::nullopt);
    AppModel& model = rig.start();
    QVERIFY(QTest::qWaitFor([&] { return model.status().kind == AppModel::Status::needsKey; }));
    model.woke();
    rig.clock.advance(1h);
    QVERIFY(settle());
    QCOMPARE(rig.service.requests().size(), 0);
}

void SignInTest::demoNeverReachesTheService() {
    // The service refused the stored key; the user picks the demo from the sign-in view.
    ModelRig rig;
    rig.listingAnswers = {LoopbackService::Response::json("{}", 401)};
    AppModel& model = rig.start();
    QVERIFY(QTest::qWaitFor([&] { return model.status().kind == AppModel::Status::needsKey; }));
    model.loadDemo();
    QVERIFY(model.isDemo());
    QCOMPARE(model.status().kind, AppModel::Status::ready);
    QCOMPARE(model.selectedID(), QStringLiteral("demo1"));
    QCOMPARE(model.lastUpdated(), rig.clock.now().addSecs(-12));
    QCOMPARE(model.history().size(), 3);
    model.panelOpened();
    model.woke();
    model.restartPolling();
    model.togglePower("demo1");
    QCOMPARE(model.pod("demo1")->acState->on, false);
    model.change("demo2", true, [](ACState& state) { state.fanLevel = "high"; });
    rig.clock.advance(1h);
    QVERIFY(settle());
    QCOMPARE(rig.service.requests().size(), 1);
    QVERIFY(model.isDemo());

    // Started in demo mode, the key is never read.
    ModelRig demoRig;
    AppModel& demo = demoRig.start(true);
    QVERIFY(settle());
    QCOMPARE(demoRig.service.requests().size(), 0);
    QVERIFY(demo.isDemo());
    QCOMPARE(demo.pods().size(), 3);
}

void SignInTest::exitDemo_data() {
    QTest::addColumn<bool>("keyStored");
    QTest::newRow("key stored") << true;
    QTest::newRow("no key") << false;
}

void SignInTest::exitDemo() {
    QFETCH(bool, keyStored);
    ModelRig rig(keyStored ? std::optional<QString>("stored-key-0123") : std::nullopt);
    rig.units = {unitJson("a", "Hall", true)};
    AppModel& model = rig.start(true);
    model.exitDemo();
    QVERIFY(!model.isDemo());
    QVERIFY(model.history().isEmpty());
    if (keyStored) {
        QVERIFY(rig.waitForSleeps({60'000}));
        QCOMPARE(model.status().kind, AppModel::Status::ready);
        QCOMPARE(model.pods().size(), 1);
        QCOMPARE(model.selectedID(), QStringLiteral("a"));
    } else {
        QVERIFY(QTest::qWaitFor([&] { return model.status().kind == AppModel::Status::needsKey; }));
        QVERIFY(model.pods().isEmpty());
        QCOMPARE(model.selectedID(), std::nullopt);
    }
}

void SignInTest::signInLeavesTheDemo() {
    ModelRig rig(std::nullopt);
    rig.units = {unitJson("a", "Hall", true)};
    acceptKeys(rig.service);
    AppModel& model = rig.start(true);
    QVERIFY(outcomeOf(model.signIn("newkey-123456")).value);
    QVERIFY(!model.isDemo());
    QVERIFY(model.history().isEmpty());
    QVERIFY(rig.waitForSleeps({60'000}));
    QCOMPARE(model.pods().size(), 1);
    QCOMPARE(model.pods().first().id, QStringLiteral("a"));
    model.togglePower("a");
    QVERIFY(
        QTest::qWaitFor([&] { return !rig.service.requests("POST", statePath("a")).isEmpty(); }));
}

QTEST_GUILESS_MAIN(SignInTest)
#include "tst_sign_in.moc"
