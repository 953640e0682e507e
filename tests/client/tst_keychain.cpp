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

// Puts `data` into the item directly, bypassing Keychain.save.
void storeRaw(const QByteArray& data, bool asText) {
    auto* job = new QKeychain::WritePasswordJob(QStringLiteral("com.brindlework.alvore"));
    job->setKey(QStringLiteral("sensibo-api-key"));
    job->setInsecureFallback(false);
    asText ? job->setTextData(QString::fromUtf8(data)) : job->setBinaryData(data);
    auto finished = qCoro(job, &QKeychain::Job::finished);
    job->start();
    QCoro::waitFor(std::move(finished));
}

// Run as a child with another session bus: saves and reads once and prints the outcomes.
int probe(std::chrono::milliseconds timeout) {
    Keychain keychain(timeout);
    const bool saved = QCoro::waitFor(keychain.save(QStringLiteral("probe-key")));
    const auto read = QCoro::waitFor(keychain.read());
    std::printf("saved=%d read=%s\n", saved, read ? qPrintable(*read) : "absent");
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

    void keyRoundTrip_data() {
        QTest::addColumn<QString>("key");
        QTest::newRow("plain") << "3vQpTzKcE1yNn0mL";
        QTest::newRow("kept unchanged") << "  padded key\t";
        QTest::newRow("non-ASCII") << "schlüssel-€";
    }

    void keyRoundTrip() {
        QFETCH(QString, key);
        Keychain keychain;
        QCOMPARE(QCoro::waitFor(keychain.read()), std::nullopt);
        QVERIFY(QCoro::waitFor(keychain.save(key)));
        QCOMPARE(QCoro::waitFor(keychain.read()), key);
        QCoro::waitFor(keychain.remove());
        QCOMPARE(QCoro::waitFor(keychain.read()), std::nullopt);
        QCoro::waitFor(keychain.remove());
        QCOMPARE(QCoro::waitFor(keychain.read()), std::nullopt);
    }

    void savingAgainReplacesTheItem() {
        Keychain keychain;
        QVERIFY(QCoro::waitFor(keychain.save(QStringLiteral("first-key"))));
        QVERIFY(QCoro::waitFor(keychain.save(QStringLiteral("second-key"))));
        QCOMPARE(storedItems(), QStringList{"second-key"});
        QCOMPARE(QCoro::waitFor(keychain.read()), QStringLiteral("second-key"));
    }

    void unusableItemReadsAsAbsent_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("asText");
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("not UTF-8") << QByteArray("\xff\xfe key") << false;
    }

    void unusableItemReadsAsAbsent() {
        QFETCH(QByteArray, data);
        QFETCH(bool, asText);
        storeRaw(data, asText);
        QCOMPARE(storedItems().size(), 1);
        QCOMPARE(QCoro::waitFor(Keychain().read()), std::nullopt);
    }

    void withoutSecretServiceNothingIsStored_data() {
        QTest::addColumn<QString>("bus");
        QTest::addColumn<int>("timeoutMs");
        QTest::newRow("no session bus") << "missing" << 120'000;
        QTest::newRow("bus without secret service") << "empty" << 120'000;
        QTest::newRow("bus that never answers") << "silent" << 200;
    }

    void withoutSecretServiceNothingIsStored() {
        QFETCH(QString, bus);
        QFETCH(int, timeoutMs);
        QTemporaryDir dir;
        QLocalServer silent;
        QProcess daemon;
        QString address = "unix:path=" + dir.filePath("missing");
        if (bus == "silent") {
            QVERIFY(silent.listen(dir.filePath("silent")));
            address = "unix:path=" + silent.fullServerName();
        } else if (bus == "empty") {
            // A bus of its own that activates no services.
            QFile config(dir.filePath("bus.conf"));
            QVERIFY(config.open(QIODevice::WriteOnly));
            config.write("<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                         "<auth>EXTERNAL</auth><policy context='default'>"
                         "<allow send_destination='*' eavesdrop='true'/>"
                         "<allow eavesdrop='true'/><allow own='*'/></policy></busconfig>");
            config.close();
            daemon.start("dbus-daemon",
                         {"--nofork", "--print-address=1", "--config-file=" + config.fileName()});
            QVERIFY(daemon.waitForReadyRead(10'000));
            address = QString::fromUtf8(daemon.readLine()).trimmed();
        }
        QProcess child;
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {probeSwitch, QString::number(timeoutMs)});
        QVERIFY(child.waitForFinished(30'000));
        daemon.kill();
        daemon.waitForFinished();
        QCOMPARE(child.readAllStandardOutput(), QByteArray("saved=0 read=absent\n"));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
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
