#pragma once

#include "client/cancel_token.h"

#include <QCoro/QCoroTask>
#include <QDBusConnection>
#include <QObject>
#include <chrono>

class AppModel;
class Clock;

// Stops polling while the computer sleeps or its screens are blanked, and wakes the model a
// little after they come back (the network needs a moment): logind's PrepareForSleep on the
// system bus and the screen saver's ActiveChanged on the session bus. A bus that is not there
// is noted in the log once; polling then simply goes on.
class SleepWatch : public QObject {
    Q_OBJECT
public:
    SleepWatch(AppModel& model, Clock& clock, QDBusConnection systemBus, QDBusConnection sessionBus,
               QObject* parent = nullptr);
    ~SleepWatch() override;

    // How long after waking the model is told.
    static constexpr std::chrono::seconds wakeDelay{5};

private Q_SLOTS:
    // True: going to sleep; false: awake again. The screen saver says the same of the screens.
    void sleepChanged(bool asleep);

private:
    QCoro::Task<> wakeLater(CancelToken cancel);

    AppModel& model;
    Clock& clock;
    CancelToken pendingWakes; // ends the waits when the computer sleeps again or the watch goes
};
