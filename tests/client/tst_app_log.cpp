#include "client/app_log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <sys/stat.h>
#include <thread>

namespace {

const QString childSwitch = QStringLiteral("--write-and-exit");

QByteArray contents() {
    QFile file(AppLog::path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void replaceContents(const QByteArray& bytes) {
    QFile file(AppLog::path());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

unsigned modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Whether `bytes` is exactly one line logging `message`.
bool isLine(const QByteArray& bytes, const QString& message) {
    return bytes.endsWith('\n') && bytes.indexOf(' ') == 20 &&
           bytes.mid(21).chopped(1) == message.toUtf8();
}

// Run as a child in another environment: reports the path, leaves one line queued at exit and
// logs another one after the writer has stopped.
int writeAndExit() {
    static const struct LogsLate {
        ~LogsLate() { AppLog::write(QStringLiteral("written during exit")); }
    } logsLate;
    std::printf("%s\n", qPrintable(AppLog::path()));
    AppLog::write(QStringLiteral("written at exit"));
    return 0;
}

} // namespace

class TestAppLog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        qputenv("XDG_STATE_HOME", m_home.filePath("state/nested").toUtf8());
    }

    void firstWriteCreatesPrivateFolderAndFile() {
        const QString folder = m_home.filePath("state/nested/Alvore");
        QCOMPARE(AppLog::path(), folder + "/alvore.log");
        QCOMPARE(modeOf(folder), 0700u);
        QVERIFY(!QFile::exists(AppLog::path()));
        AppLog::write("first");
        AppLog::flush();
        QCOMPARE(modeOf(AppLog::path()), 0600u);
        QVERIFY(isLine(contents(), "first"));
    }

    void lineIsCallTimeStampSpaceMessage_data() {
        QTest::addColumn<QString>("message");
        QTest::newRow("plain") << "refresh failed (The request timed out.)";
        QTest::newRow("several lines") << "first\nsecond\n";
        QTest::newRow("non-ASCII") << "change failed for Wohnzimmer: 21 °C → 23 °C";
        QTest::newRow("empty") << "";
    }

    void lineIsCallTimeStampSpaceMessage() {
        QFETCH(QString, message);
        replaceContents({});
        const auto before = QDateTime::currentDateTimeUtc().toSecsSinceEpoch();
        AppLog::write(message);
        const auto after = QDateTime::currentDateTimeUtc().toSecsSinceEpoch();
        AppLog::flush();
        const QByteArray line = contents();
        QVERIFY2(isLine(line, message), line.constData());
        const QString stamp = QString::fromLatin1(line.left(20));
        QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$")
                    .match(stamp)
                    .hasMatch());
        const auto at = QDateTime::fromString(stamp, Qt::ISODate).toSecsSinceEpoch();
        QVERIFY(at >= before && at <= after);
    }

    void largeFileKeepsItsTail_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("kept");
        QTest::newRow("300,000 bytes") << 300'000 << 128'000;
        QTest::newRow("one byte over the limit") << 256'001 << 128'000;
        QTest::newRow("exactly at the limit") << 256'000 << 256'000;
    }

    void largeFileKeepsItsTail() {
        QFETCH(int, size);
        QFETCH(int, kept);
        QByteArray old;
        for (int i = 0; old.size() < size; ++i)
            old += QByteArray::number(i) + ' ';
        old.truncate(size);
        replaceContents(old);
        AppLog::write("next");
        AppLog::flush();
        const QByteArray now = contents();
        QVERIFY(now.startsWith(old.right(kept)));
        QVERIFY(isLine(now.mid(kept), "next"));
    }

    void linesFromThreadsKeepCallOrder() {
        replaceContents({});
        // Two threads taking turns: their calls have a definite order.
        QSemaphore turnA(1), turnB;
        QStringList expected;
        for (int i = 0; i < 200; ++i)
            expected << QString("a%1").arg(i) << QString("b%1").arg(i);
        auto takeTurns = [](QChar name, QSemaphore& mine, QSemaphore& other) {
            for (int i = 0; i < 200; ++i) {
                mine.acquire();
                AppLog::write(name + QString::number(i));
                other.release();
            }
        };
        std::thread a(takeTurns, u'a', std::ref(turnA), std::ref(turnB));
        std::thread b(takeTurns, u'b', std::ref(turnB), std::ref(turnA));
        a.join();
        b.join();
        AppLog::flush();
        QStringList written;
        for (const auto& line : QString::fromUtf8(contents()).split('\n', Qt::SkipEmptyParts))
            written << line.section(' ', 1);
        QCOMPARE(written, expected);
    }

    void failuresCostOnlyTheLine_data() {
        QTest::addColumn<bool>("removeFolder");
        QTest::newRow("file cannot be opened") << false;
        QTest::newRow("folder gone") << true;
    }

    void failuresCostOnlyTheLine() {
        QFETCH(bool, removeFolder);
        const QString folder = QFileInfo(AppLog::path()).path();
        QVERIFY(QFile::remove(AppLog::path()));
        QVERIFY(removeFolder ? QDir(folder).removeRecursively() : QDir().mkdir(AppLog::path()));
        AppLog::write("lost");
        AppLog::flush();
        QVERIFY(removeFolder ? QDir().mkdir(folder) : QDir().rmdir(AppLog::path()));
        AppLog::write("kept");
        AppLog::flush();
        QVERIFY(isLine(contents(), "kept"));
    }

    void folderDefaultsAndLinesQueuedAtExit_data() {
        QTest::addColumn<QString>("stateHome");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("written");
        QTest::newRow("unset") << QString() << "home/.local/state/Alvore/alvore.log" << true;
        QTest::newRow("relative") << "state"
                                  << "home/.local/state/Alvore/alvore.log" << true;
        QTest::newRow("absolute") << "/"
                                  << "Alvore/alvore.log" << true;
        QTest::newRow("below a file") << "/file"
                                      << "file/Alvore/alvore.log" << false;
    }

    void folderDefaultsAndLinesQueuedAtExit() {
        QFETCH(QString, stateHome);
        QFETCH(QString, expected);
        QFETCH(bool, written);
        QTemporaryDir dir;
        QFile(dir.filePath("file")).open(QIODevice::WriteOnly);
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", dir.filePath("home"));
        environment.remove("XDG_STATE_HOME");
        if (!stateHome.isNull())
            environment.insert("XDG_STATE_HOME",
                               stateHome.startsWith('/') ? dir.path() + stateHome : stateHome);
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {childSwitch});
        QVERIFY(child.waitForFinished(30'000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(child.readAllStandardOutput().trimmed(), dir.filePath(expected).toUtf8());
        QFile log(dir.filePath(expected));
        const QRegularExpression lines("^\\S+ written at exit\\n\\S+ written during exit\\n$");
        QCOMPARE(log.open(QIODevice::ReadOnly) && lines.match(log.readAll()).hasMatch(), written);
    }

private:
    QTemporaryDir m_home;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 2 && argv[1] == childSwitch)
        return writeAndExit();
    TestAppLog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_app_log.moc"
