#include "client/app_log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

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

} // namespace

class TestAppLog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(home.isValid());
        qputenv("XDG_STATE_HOME", home.filePath("state/nested").toUtf8());
    }

    // Each line is the call's time stamp, a space and the message.
    void firstWriteCreatesPrivateFolderAndFile() {
        const QString folder = home.filePath("state/nested/Alvore");
        QCOMPARE(AppLog::path(), folder + "/alvore.log");
        QVERIFY(modeOf(folder) == 0700u && !QFile::exists(AppLog::path()));
        const QString message = "change failed for Wohnzimmer: 21 °C → 23 °C";
        const auto before = QDateTime::currentSecsSinceEpoch();
        AppLog::write(message);
        const auto after = QDateTime::currentSecsSinceEpoch();
        AppLog::flush();
        QCOMPARE(modeOf(AppLog::path()), 0600u);
        const QByteArray line = contents();
        QVERIFY2(isLine(line, message), line.constData());
        const QDateTime at = QDateTime::fromString(QString::fromLatin1(line.left(20)), Qt::ISODate);
        QCOMPARE(at.toString(Qt::ISODate).toLatin1(), line.left(20)); // whole seconds, in UTC
        QVERIFY(at.toSecsSinceEpoch() >= before && at.toSecsSinceEpoch() <= after);
    }

    // Over the limit, half of it is kept; at the limit, all.
    void largeFileKeepsItsTail() {
        for (const auto& [size, kept] : {std::pair{300'000, 128'000}, {256'000, 256'000}}) {
            QByteArray old;
            for (int i = 0; old.size() < size; ++i)
                old += QByteArray::number(i) + ' ';
            old.truncate(size);
            replaceContents(old);
            AppLog::write("next");
            AppLog::flush();
            const QByteArray now = contents();
            QVERIFY(now.startsWith(old.right(kept)) && isLine(now.mid(kept), "next"));
        }
    }

    void linesFromThreadsKeepCallOrder() {
        replaceContents({});
        // Two threads taking turns: their calls have a definite order.
        QSemaphore turnA(1), turnB;
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
        const QStringList written = QString::fromUtf8(contents()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(written.size(), 400);
        for (int i = 0; i < 400; ++i)
            QCOMPARE(written.value(i).section(' ', 1),
                     QChar(u"ab"[i % 2]) + QString::number(i / 2));
    }

    // The first failure, and only that one, is told on standard error.
    void failureCostsOnlyTheLine() {
        // The file cannot be opened.
        QVERIFY(QFile::remove(AppLog::path()) && QDir().mkdir(AppLog::path()));
        QTemporaryFile errors;
        QVERIFY(errors.open());
        const int savedError = ::dup(STDERR_FILENO);
        ::dup2(errors.handle(), STDERR_FILENO);
        AppLog::write("lost");
        AppLog::write("lost too");
        AppLog::flush();
        ::dup2(savedError, STDERR_FILENO);
        ::close(savedError);
        QFile written(errors.fileName()); // its own offset: the shared one is at the end
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QList<QByteArray> told = written.readAll().split('\n');
        QCOMPARE(told.size(), 2); // one line and its end
        QVERIFY2(
            told[0].startsWith("Alvore can't write its log " + QFile::encodeName(AppLog::path())),
            told[0].constData());
        QVERIFY(QDir().rmdir(AppLog::path()));
        AppLog::write("kept");
        AppLog::flush();
        QVERIFY(isLine(contents(), "kept"));
    }

private:
    QTemporaryDir home;
};

QTEST_GUILESS_MAIN(TestAppLog)
#include "tst_app_log.moc"
