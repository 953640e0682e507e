#include "panel/animation/frame_ticker.h"
#include "panel/controls/link_button.h"
#include "panel/controls/prominent_button.h"
#include "panel/root/root_view.h"
#include "panel/sign_in/login_view.h"
#include "support/panel_rig.h"
#include "support/settle.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>

using namespace std::chrono_literals;

// A sign-in view on its own, with the parts a user works.
struct Screen {
    explicit Screen(AppModel& model) : view(model) { view.show(); }
    LoginView view;
    QLineEdit* field = view.findChild<QLineEdit*>();
    ProminentButton* button = view.findChild<ProminentButton*>();
    LinkButton* keyPage = named<LinkButton>(view, "Get your API key");
};

// Starts the rig's model, which has no key; the service answers key checks with `answer`.
static AppModel& signedOut(ModelRig& rig, const LoopbackService::Response& answer) {
    rig.service.on("GET", listingPath, answer);
    AppModel& model = rig.start();
    requireSetUp(rig.waitForNeedsKey(), "the model did not ask for a key");
    return model;
}

// How far from the field's left edge the first ink of its text (or placeholder) lies, past
// the border.
static int placeholderInset(QLineEdit& field) {
    const QImage image = renderOnBlack(field);
    const int middle = image.height() / 2;
    const QColor inside = image.pixelColor(image.width() - 8, middle);
    const auto inked = [&](int x) {
        for (int y = middle - 4; y <= middle + 4; ++y)
            if (std::abs(image.pixelColor(x, y).lightness() - inside.lightness()) > 40)
                return true;
        return false;
    };
    int x = 0;
    while (x < image.width() && inked(x)) // the border
        ++x;
    while (x < image.width() && !inked(x))
        ++x;
    return x;
}

class LoginViewTest : public QObject {
    Q_OBJECT
public Q_SLOTS:
    void openUrl(const QUrl& url) { opened.append(url); }

private Q_SLOTS:
    void initTestCase() { FrameTicker::shared()->setInstant(true); }

    // A refused key, and a failure on the way whose text the client words.
    void failedSignIn() {
        for (const bool drop : {false, true}) {
            ModelRig rig(std::nullopt);
            LoopbackService::Response answer = keyCheck(403);
            answer.closeMidAnswer = drop;
            AppModel& model = signedOut(rig, answer);
            Screen screen(model);
            const QString error = drop ? "This computer is offline."
                                       : "That key wasn't accepted. Check it's copied in full.";

            const QString key = QStringLiteral("wrongkey-12345");
            QTest::keyClicks(screen.field, key);
            QTest::keyClick(screen.field, Qt::Key_Return);
            QVERIFY(screen.view.isBusy() && !screen.button->isEnabled());
            QVERIFY(QTest::qWaitFor([&] { return !screen.view.isBusy(); }, 10000));
            // The error is shown, and it is the view's.
            QVERIFY(screen.view.error() == error && named<QLabel>(screen.view, error) &&
                    screen.field->text() == key);
            QVERIFY(model.status().kind == AppModel::Status::needsKey && !rig.keys.storedKey());

            // The error stays while the key is corrected, and goes with the next submit.
            QTest::keyClick(screen.field, Qt::Key_Backspace);
            QCOMPARE(screen.view.error(), error);
            QTest::mouseClick(screen.button, Qt::LeftButton);
            QCOMPARE(screen.view.error(), std::nullopt);
            QVERIFY(QTest::qWaitFor([&] { return !screen.view.isBusy(); }, 10000));
        }
    }

    // The button needs more than blanks, and Return submits only what the button would.
    void keyNeededAndReturnTwiceSignsInOnce() {
        ModelRig rig(std::nullopt);
        AppModel& model = signedOut(rig, keyCheck(200, 150ms));
        Screen screen(model);
        QVERIFY(placeholderInset(*screen.field) >= 7);
        const QList<std::pair<QString, bool>> cases{
            {"abcde", true}, {"  k  ", true}, {"", false}, {"  \t  ", false}};
        for (const auto& [typed, enabled] : cases) {
            screen.field->setText(typed);
            QCOMPARE(screen.button->isEnabled(), enabled);
        }
        QTest::keyClick(screen.field, Qt::Key_Return);
        QVERIFY(!screen.view.error() && !screen.view.isBusy() && screen.field->text() == "  \t  ");
        QVERIFY(rig.service.requests().isEmpty());

        // The other link opens the service's page for keys.
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
        QTest::mouseClick(screen.keyPage, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(opened, QList<QUrl>{SensiboAPI::defaultBase().resolved(QUrl("/me/api"))});

        screen.field->setText("goodkey-12345");
        // Return connects wherever the focus is: in the field or on another part of the view.
        QTest::keyClick(screen.keyPage, Qt::Key_Return);
        QVERIFY(screen.view.isBusy());
        QTest::keyClick(screen.field, Qt::Key_Return);
        QTest::mouseClick(screen.button, Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return !screen.view.isBusy(); }, 5000));
        const auto checks = rig.service.requests("GET", listingPath);
        QCOMPARE(checks.size() - std::count_if(checks.cbegin(), checks.cend(), isFullListing), 1);
        QVERIFY(!screen.view.error() && screen.field->text().isEmpty());
        QCOMPARE(rig.keys.storedKey(), QStringLiteral("goodkey-12345"));
        QCOMPARE(model.status().kind, AppModel::Status::loading);
    }

    void viewGoneBeforeTheAnswer() {
        // The user picks the demo while the key is being checked: the panel drops the sign-in view,
        // and the late answer must not touch it.
        ModelRig rig(std::nullopt);
        LoopbackService::Response refused = keyCheck(401);
        refused.held = true;
        AppModel& model = signedOut(rig, refused);
        RootView root(model);
        root.show();
        QPointer<LoginView> login = root.findChild<LoginView*>();
        QTest::keyClicks(login->findChild<QLineEdit*>(), "slowkey-12345");
        QTest::keyClick(login->findChild<QLineEdit*>(), Qt::Key_Return);
        QVERIFY(login->isBusy() && rig.service.waitForRequests(1));
        QTest::mouseClick(named(*login, "No Sensibo yet? Try the demo"), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return !login; }, 5000));
        rig.service.release();
        QVERIFY(settle() && model.isDemo() && model.pods().size() == 3);
    }

private:
    QList<QUrl> opened;
};

QTEST_MAIN(LoginViewTest)
#include "tst_login_view.moc"
