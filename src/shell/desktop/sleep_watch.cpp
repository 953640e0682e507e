#include "shell/desktop/sleep_watch.h"

#include "client/app_log.h"
#include "model/app_model.h"
#include "model/clock.h"

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
    // Desktops announce the screen saver on either freedesktop path; GNOME under its own name.
    const QString screenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
    const QString activeChanged = QStringLiteral("ActiveChanged");
    watch(sessionBus, QStringLiteral("session"),
          {{QStringLiteral("/org/freedesktop/ScreenSaver"), screenSaver, activeChanged},
           {QStringLiteral("/ScreenSaver"), screenSaver, activeChanged},
           {QStringLiteral("/org/gnome/ScreenSaver"), QStringLiteral("org.gnome.ScreenSaver"),
            activeChanged}},
          this);
}

void SleepWatch::sleepChanged(bool asleep) {
    if (asleep) {
        // A wake still waiting its delay would start polling with the machine asleep again.
        pendingWakes.cancel();
        pendingWakes = CancelToken();
        model.setAwake(false);
        return;
    }
    // Each wake-up gets its own wake, however close together they come.
    wakeLater(pendingWakes);
}

SleepWatch::~SleepWatch() {
    pendingWakes.cancel();
}

QCoro::Task<> SleepWatch::wakeLater(CancelToken cancel) {
    co_await clock.sleep(wakeDelay, cancel);
    if (!cancel.isCancelled()) // else asleep again, or the watch went while it waited
        model.setAwake(true);
}
