#include "client/keychain.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QLocalServer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

const QString probeSwitch = QStringLiteral("--probe");

// The items of the key store's service, as the secret-tool utility lists them.
QStringList storedItems() {
    QProcess tool;
    tool.start(QStringLiteral("secret-tool"),
               {"search", "--all", "server", "com.brindlework.alvore"});
    if (!tool.waitForFinished(10'000))
        return {"secret-tool did not finish"};
    const QString listing = QString::fromUtf8(tool.readAllStandardOutput());
    QStringList secrets;
    for (const auto& match :
         QRegularExpression(QStringLiteral("^secret = (.*)$"), QRegularExpression::MultilineOption)
             .globalMatch(listing))
        secrets << match.captured(1);
    return secrets;
}

// Puts an item in place as the key store would, bypassing Keychain.save.
bool storeItem(const QByteArray& secret, const QString& collection = "default") {
    QProcess tool;
    tool.start(QStringLiteral("secret-tool"),
               {"store", "--collection=" + collection, "--label=old", "xdg:schema",
                "org.qt.keychain", "server", "com.brindlework.alvore", "user", "sensibo-api-key",
                "type", "plaintext"});
    tool.write(secret);
    tool.closeWriteChannel();
    return tool.waitForFinished(10'000) && tool.exitCode() == 0;
}

// Run as a child with another session bus: saves and reads once and prints the outcomes.
int probe(std::chrono::milliseconds timeout) {
    Keychain keychain(timeout);
    const bool saved = QCoro::waitFor(keychain.save(QStringLiteral("probe-key")));
    const auto read = QCoro::waitFor(keychain.read());
    std::printf("saved=%d read=%s problem=%s\n", saved, read ? qPrintable(*read) : "absent",
                qPrintable(keychain.problem().value_or("none")));
    return 0;
}

} // namespace

class TestKeychain : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // Never touch the keyring of a real session.
        if (!QDir::homePath().startsWith(QStringLiteral("/tmp/alvore-test.")))
            QFAIL("run this test under scripts/with-test-session");
    }

    void init() { QCoro::waitFor(Keychain().remove()); }

    void keyRoundTrip() {
        const QString key = QStringLiteral("schlüssel-€");
        Keychain keychain;
        QCOMPARE(QCoro::waitFor(keychain.read()), std::nullopt);
        QCOMPARE(keychain.problem(), std::nullopt); // no key yet is no problem
        // The second replaces the item.
        QVERIFY(QCoro::waitFor(keychain.save("first-key")) && QCoro::waitFor(keychain.save(key)));
        QVERIFY(storedItems() == QStringList{key} && QCoro::waitFor(keychain.read()) == key);
        QVERIFY(QCoro::waitFor(keychain.remove()));
        QCOMPARE(QCoro::waitFor(keychain.read()), std::nullopt);
        // Nothing left to remove; then an empty item.
        QVERIFY(QCoro::waitFor(keychain.remove()) && storeItem("") && storedItems().size() == 1);
        QCOMPARE(QCoro::waitFor(keychain.read()), std::nullopt); // an empty item is no key
    }

    // No session bus at all, and a bus that never answers.
    void withoutSecretServiceNothingIsStored() {
        for (const bool silent : {false, true}) {
            QTemporaryDir dir;
            QLocalServer server;
            if (silent)
                QVERIFY(server.listen(dir.filePath("bus")));
            const QString address = "unix:path=" + dir.filePath("bus");
            QProcess child;
            auto environment = QProcessEnvironment::systemEnvironment();
            environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
            child.setProcessEnvironment(environment);
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(),
                        {probeSwitch, silent ? "200" : "120000"});
            QVERIFY(child.waitForFinished(30'000));
            QCOMPARE(child.readAllStandardOutput(),
                     "saved=0 read=absent problem=" +
                         QByteArray(silent ? "the keyring didn't answer"
                                           : "no keyring is available on this desktop") +
                         "\n");
            QCOMPARE(child.exitCode(), 0);
        }
    }

    // Last: it leaves the default collection locked. The stored key sits in the session
    // collection, which needs no unlocking, while a write goes to the default collection, locked
    // with no prompter to unlock it: the key could be deleted, and the write fails.
    void failedWriteKeepsTheStoredKey() {
        QVERIFY(storeItem("old-key", "session"));
        const QDBusMessage locked = QDBusConnection::sessionBus().call(
            QDBusMessage::createMethodCall("org.freedesktop.secrets", "/org/freedesktop/secrets",
                                           "org.freedesktop.Secret.Service", "Lock")
            << QVariant::fromValue(QList<QDBusObjectPath>{
                   QDBusObjectPath("/org/freedesktop/secrets/collection/login")}));
        QVERIFY2(locked.type() == QDBusMessage::ReplyMessage, qPrintable(locked.errorMessage()));

        Keychain keychain;
        QVERIFY(!QCoro::waitFor(keychain.save(QStringLiteral("new-key"))));
        QCOMPARE(QCoro::waitFor(keychain.read()), QStringLiteral("old-key"));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && argv[1] == probeSwitch)
        return probe(std::chrono::milliseconds(QByteArray(argv[2]).toInt()));
    TestKeychain test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keychain.moc"
