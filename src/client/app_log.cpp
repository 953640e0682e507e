#include "client/app_log.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>

namespace {

constexpr qint64 trimAbove = 256'000;
constexpr qint64 keptTail = 128'000;

// $XDG_STATE_HOME, or its default when unset or not absolute.
QString stateHome() {
    const QString configured = qEnvironmentVariable("XDG_STATE_HOME");
    return QDir::isAbsolutePath(configured) ? QDir::cleanPath(configured)
                                            : QDir::homePath() + QStringLiteral("/.local/state");
}

// The current time as 2024-05-01T10:00:00Z. Built from the standard clock rather than QDateTime,
// whose formatting no longer works while static objects are being destroyed.
QByteArray utcStamp() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto today = floor<days>(now);
    const year_month_day date(today);
    const hh_mm_ss time(now - today);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), int(time.hours().count()),
                  int(time.minutes().count()), int(time.seconds().count()));
    return stamp;
}

// Appends one line, first cutting the file down to its tail when it has grown too large.
// Every failure only costs the line; the first one is told on standard error.
void append(const QString& path, const QByteArray& line) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        static std::once_flag told;
        std::call_once(told, [&] {
            std::fprintf(stderr, "Alvore can't write its log %s (%s); running without it.\n",
                         qPrintable(path), qPrintable(file.errorString()));
        });
        return;
    }
    const qint64 size = file.size();
    if (size > trimAbove && file.seek(size - keptTail)) {
        const QByteArray tail = file.read(keptTail);
        if (tail.size() == keptTail && file.resize(0))
            file.write(tail);
    }
    file.seek(file.size());
    file.write(line);
}

// The one writer: a thread that appends queued lines in the order they were queued. It is
// never destroyed, so logging stays safe during static destruction; stop() ends the thread at
// exit, after which lines are written directly by their callers.
class Writer {
public:
    Writer() : writerThread([this] { run(); }) {}

    void enqueue(QByteArray line) {
        std::unique_lock lock(queueMutex);
        ++queuedCount;
        if (hasStopped) {
            append(AppLog::path(), line);
            ++writtenCount;
            return;
        }
        pendingLines.push_back(std::move(line));
        lock.unlock();
        progressed.notify_all();
    }

    void flush() {
        std::unique_lock lock(queueMutex);
        const std::uint64_t target = queuedCount;
        progressed.wait(lock, [&] { return writtenCount >= target; });
    }

    // Writes what is still queued, then ends the thread.
    void stop() {
        {
            std::lock_guard lock(queueMutex);
            isStopping = true;
        }
        progressed.notify_all();
        writerThread.join();
        std::lock_guard lock(queueMutex);
        hasStopped = true;
    }

private:
    void run() {
        const QString path = AppLog::path();
        std::unique_lock lock(queueMutex);
        for (;;) {
            progressed.wait(lock, [&] { return isStopping || !pendingLines.empty(); });
            if (pendingLines.empty())
                return;
            const QByteArray line = std::move(pendingLines.front());
            pendingLines.pop_front();
            lock.unlock();
            append(path, line);
            lock.lock();
            ++writtenCount;
            progressed.notify_all();
        }
    }

    std::mutex queueMutex;
    std::condition_variable progressed;
    std::deque<QByteArray> pendingLines;
    std::uint64_t queuedCount = 0;
    std::uint64_t writtenCount = 0;
    bool isStopping = false;
    bool hasStopped = false;
    std::thread writerThread; // last, so that it starts after everything it uses exists
};

Writer& writer() {
    static Writer* const instance = new Writer;
    static const struct StopAtExit {
        ~StopAtExit() { instance->stop(); }
    } stopAtExit;
    return *instance;
}

} // namespace

QString AppLog::path() {
    // Never destroyed, like the writer: lines logged during static destruction still need it.
    static const QString* const file = [] {
        const QString base = stateHome();
        const QString folder = base + QStringLiteral("/Alvore");
        QDir().mkpath(base);
        QDir().mkdir(folder,
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return new QString(folder + QStringLiteral("/alvore.log"));
    }();
    return *file;
}

void AppLog::write(const QString& message) {
    writer().enqueue(utcStamp() + ' ' + message.toUtf8() + '\n');
}

void AppLog::flush() {
    writer().flush();
}
