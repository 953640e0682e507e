#include "client/keychain.h"

#include <QCoro/QCoroSignal>
#include <QDir>
#include <QLocalServer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <qt6keychain/keychain.h>

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

// Puts an empty item in place, bypassing Keychain.save.
void storeEmpty() {
    auto* job = new QKeychain::WritePasswordJob(QStringLiteral("com.brindlework.alvore"));
    job->setKey(QStringLiteral("sensibo-api-key"));
    job->setInsecureFallback(false);
    job->setTextData({});
    auto finished = qCoro(job, &QKeychain::Job::finished);
    job->start();
    QCoro::waitFor(std::move(finished));
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
        QVERIFY(QCoro::waitFor(keychain.save(QStringLiteral("first-key"))));
        QVERIFY(QCoro::waitFor(keychain.save(key))); // replaces the item
        QCOMPARE(storedItems(), QStringList{key});
        QCOMPARE(QCoro::waitFor(keychain.read()), key);
        QCoro::waitFor(keychain.remove());
        QCOMPARE(QCoro::waitFor(keychain.read()), std::nullopt);
        storeEmpty();
        QCOMPARE(storedItems().size(), 1);
        QCOMPARE(QCoro::waitFor(keychain.read()), std::nullopt); // an empty item is no key
    }

    void withoutSecretServiceNothingIsStored_data() {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<QByteArray>("problem");
        QTest::newRow("no session bus")
            << false << 120'000 << QByteArray("no keyring is available on this desktop");
        QTest::newRow("bus that never answers")
            << true << 200 << QByteArray("the keyring didn't answer");
    }

    void withoutSecretServiceNothingIsStored() {
        QFETCH(bool, silent);
        QFETCH(int, timeoutMs);
        QFETCH(QByteArray, problem);
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
                    {probeSwitch, QString::number(timeoutMs)});
        QVERIFY(child.waitForFinished(30'000));
        QCOMPARE(child.readAllStandardOutput(), "saved=0 read=absent problem=" + problem + "\n");
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }

    void problemTexts_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("serviceOnBus");
        QTest::addColumn<QString>("text");
        QTest::newRow("no item") << int(QKeychain::EntryNotFound) << true << QString();
        QTest::newRow("unlock refused")
            << int(QKeychain::AccessDeniedByUser) << true << "the keyring stayed locked";
        QTest::newRow("no backend") << int(QKeychain::NoBackendAvailable) << true
                                    << "no keyring is available on this desktop";
        QTest::newRow("failure, service present")
            << int(QKeychain::OtherError) << true << "the keyring refused it";
        QTest::newRow("failure, no service")
            << int(QKeychain::OtherError) << false << "no keyring is available on this desktop";
    }
    void problemTexts() {
        QFETCH(int, code);
        QFETCH(bool, serviceOnBus);
        QFETCH(QString, text);
        QCOMPARE(Keychain::problemText(QKeychain::Error(code), serviceOnBus).value_or(QString()),
                 text);
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
