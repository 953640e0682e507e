#pragma once

#include <QDBusConnection>
#include <QObject>
#include <chrono>

class AppModel;

// Stops polling while the computer sleeps or its screens are blanked, and wakes the model a
// little after they come back (the network needs a moment): logind's PrepareForSleep on the
// system bus and the screen saver's ActiveChanged on the session bus. A bus that is not there
// is noted in the log once; polling then simply goes on.
class SleepWatch : public QObject {
    Q_OBJECT
public:
    SleepWatch(AppModel& model, QDBusConnection systemBus, QDBusConnection sessionBus,
               std::chrono::milliseconds wakeDelay = std::chrono::seconds(5),
               QObject* parent = nullptr);

private Q_SLOTS:
    // True: going to sleep; false: awake again. The screen saver says the same of the screens.
    void sleepChanged(bool asleep);

private:
    AppModel& m_model;
    std::chrono::milliseconds m_wakeDelay;
};
