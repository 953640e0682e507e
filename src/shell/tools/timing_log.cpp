#include "shell/tools/timing_log.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <unistd.h>

namespace {

std::FILE* logFile = nullptr;

qint64 microseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1'000'000 + now.tv_nsec / 1000;
}

void mark(const char* name, qint64 at) {
    std::fprintf(logFile, "%s %lld\n", name, static_cast<long long>(at));
    std::fflush(logFile);
}

// When the process began, on the monotonic clock: the kernel counts it in ticks since boot.
std::optional<qint64> processStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = stat.readAll();
    // The command name in parentheses may hold spaces; the fields after it are the 3rd onwards.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    bool read = false;
    const qint64 ticks = fields.value(22 - 3).toLongLong(&read);
    if (!read)
        return std::nullopt;
    const qint64 sinceBoot = ticks * 1'000'000 / sysconf(_SC_CLK_TCK);
    return microseconds(CLOCK_MONOTONIC) - (microseconds(CLOCK_BOOTTIME) - sinceBoot);
}

class Watcher : public QObject {
public:
    explicit Watcher(QWidget& panel) : QObject(qApp), panel(&panel) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Paint:
            if (!iconPainted && isTrayIcon(watched)) {
                iconPainted = true;
                mark("icon", microseconds(CLOCK_MONOTONIC));
            } else if (clicked && watched->isWidgetType() &&
                       static_cast<QWidget*>(watched)->window() == panel) {
                // The frame is done once every widget in it has painted and the event loop is
                // free again.
                clicked = false;
                QMetaObject::invokeMethod(
                    this, [] { mark("frame", microseconds(CLOCK_MONOTONIC)); },
                    Qt::QueuedConnection);
            }
            break;
        case QEvent::MouseButtonPress:
            if (isTrayIcon(watched)) {
                clicked = !panel->isVisible();
                mark("click", microseconds(CLOCK_MONOTONIC));
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    // Qt's own window for the icon in an XEmbed tray.
    static bool isTrayIcon(QObject* object) {
        return object->isWidgetType() && object->inherits("QSystemTrayIconSys");
    }

    QPointer<QWidget> panel;
    bool iconPainted = false;
    bool clicked = false;
};

} // namespace

namespace TimingLog {

void begin() {
    const char* path = std::getenv("ALVORE_TIMING_LOG");
    if (!path || !*path)
        return;
    const qint64 mainAt = microseconds(CLOCK_MONOTONIC);
    logFile = std::fopen(path, "a");
    if (!logFile)
        return;
    if (const std::optional<qint64> start = processStart())
        mark("process", *start);
    mark("main", mainAt);
}

void watch(QWidget& panel) {
    if (!logFile)
        return;
    qApp->installEventFilter(new Watcher(panel));
}

} // namespace TimingLog
