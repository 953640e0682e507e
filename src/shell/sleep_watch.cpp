#include "shell/sleep_watch.h"

#include "client/app_log.h"
#include "model/app_model.h"
#include "model/clock.h"

#include <QPointer>

namespace {
struct Source {
    QString path;
    QString interface;
    QString signal;
};

void watch(QDBusConnection& bus, const QString& busName, const QList<Source>& sources,
           QObject* receiver) {
    if (!bus.isConnected()) {
        AppLog::write(QStringLiteral("no ") + busName +
                      QStringLiteral(" bus: polling goes on while the computer sleeps"));
        return;
    }
    for (const Source& source : sources)
        if (!bus.connect(QString(), source.path, source.interface, source.signal, receiver,
                         SLOT(sleepChanged(bool))))
            AppLog::write(QStringLiteral("cannot watch ") + source.interface + u'.' +
                          source.signal + QStringLiteral(" on the ") + busName +
                          QStringLiteral(" bus"));
}
} // namespace

SleepWatch::SleepWatch(AppModel& model, Clock& clock, QDBusConnection systemBus,
                       QDBusConnection sessionBus, QObject* parent)
    : QObject(parent), model(model), clock(clock) {
    watch(systemBus, QStringLiteral("system"),
          {{QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep")}},
          this);
    // Desktops announce the screen saver on either path.
    const QString screenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
    const QString activeChanged = QStringLiteral("ActiveChanged");
    watch(sessionBus, QStringLiteral("session"),
          {{QStringLiteral("/org/freedesktop/ScreenSaver"), screenSaver, activeChanged},
           {QStringLiteral("/ScreenSaver"), screenSaver, activeChanged}},
          this);
}

void SleepWatch::sleepChanged(bool asleep) {
    if (asleep) {
        model.stopPolling();
        return;
    }
    // Each wake-up gets its own wake, however close together they come.
    wakeLater();
}

SleepWatch::~SleepWatch() {
    gone.cancel();
}

QCoro::Task<> SleepWatch::wakeLater() {
    QPointer<SleepWatch> self(this);
    co_await clock.sleep(wakeDelay, gone);
    if (self) // else the watch went while it waited
        model.woke();
}
