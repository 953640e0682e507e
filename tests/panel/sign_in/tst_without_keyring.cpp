#include "client/app_log.h"
#include "client/keychain.h"
#include "panel/animation/frame_ticker.h"
#include "panel/controls/prominent_button.h"
#include "panel/sign_in/login_view.h"
#include "support/panel_rig.h"

#include <QApplication>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>

// Signing in on a desktop without a keyring. The test runs itself again on a session bus of
// its own that has no Secret Service and cannot start one, with a home and XDG folders of its
// own, so that it can look through every file the app may have written.

// Set in the run on the bus of its own: where its home and XDG folders are.
const char scratchVariable[] = "ALVORE_TEST_SCRATCH";

// Without service folders the bus cannot start the keyring the system has installed.
const char busConfig[] = R"(<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>
<auth>EXTERNAL</auth><policy context="default"><allow send_destination="*" eavesdrop="true"/>
<allow eavesdrop="true"/><allow own="*"/></policy></busconfig>)";

static QStringList filesHolding(const QString& folder, const QByteArray& text) {
    QStringList found;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly) || file.readAll().contains(text))
            found.append(file.fileName());
    }
    return found;
}

// Runs this test again under `dbus-run-session` with the bus above and fresh folders.
static int runOnOwnBus(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch;
    QFile config(scratch.filePath("bus.conf"));
    if (!config.open(QIODevice::WriteOnly) || config.write(busConfig) < 0 || !config.flush())
        return 1;
    qunsetenv("GNOME_KEYRING_CONTROL");
    const QString home = scratch.filePath("files");
    qputenv(scratchVariable, home.toUtf8());
    for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                                 "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString folder = home + u'/' + QLatin1String(variable);
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(variable, folder.toUtf8());
    }
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QStringLiteral("dbus-run-session"),
                QStringList{"--config-file=" + config.fileName(), "--",
                            QCoreApplication::applicationFilePath()} +
                    QCoreApplication::arguments().mid(1));
    if (!child.waitForFinished(110'000))
        child.kill(), child.waitForFinished();
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
}

class WithoutKeyringTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { FrameTicker::shared()->setInstant(true); }

    void keyWorksButIsKeptNowhere() {
        const QString warning = QStringLiteral("Your key can't be kept: no keyring is available "
                                               "on this desktop. It works until Alvore quits.");
        const QString key = QStringLiteral("plainkey-4815162342");
        ModelRig rig(std::nullopt);
        rig.units = {unitJson("a", "Hall", true)};
        rig.service.on("GET", listingPath, LoopbackService::Response::json(envelope({})));
        Keychain keys;
        QSettings store; // the app's own settings file, in the private config folder
        AppModel model({keys, rig.clock, store, rig.service.config(),
                        LoginItem(rig.autostart.path(), "/opt/alvore/alvore")},
                       false);
        // The keyring is asked in the background; the app starts without waiting for it.
        QCOMPARE(model.status().kind, AppModel::Status::loading);
        LoginView view(model);
        view.show();
        QVERIFY(QTest::qWaitFor([&] { return model.status().kind == AppModel::Status::needsKey; }));
        QVERIFY(model.account().keyWarning() == warning && named<QLabel>(view, warning));

        QTest::keyClicks(view.findChild<QLineEdit*>(), key);
        QTest::mouseClick(view.findChild<ProminentButton*>(), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return !view.isBusy(); }, 10'000));
        QVERIFY(!view.error() && model.account().apiKey() == key);
        QVERIFY(QTest::qWaitFor([&] { return model.status().kind == AppModel::Status::ready; }));

        store.sync();
        AppLog::flush();
        QVERIFY(store.status() == QSettings::NoError && QFile::exists(store.fileName()));
        QCOMPARE(filesHolding(qEnvironmentVariable(scratchVariable), key.toUtf8()), QStringList());

        // Nothing was stored, so signing out leaves no key behind to warn of.
        QVERIFY(QCoro::waitFor(keys.remove()));
    }
};

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet(scratchVariable))
        return runOnOwnBus(argc, argv);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brindlework"));
    QApplication::setApplicationName(QStringLiteral("Alvore"));
    WithoutKeyringTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_without_keyring.moc"
