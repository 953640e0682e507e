#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QSettings>
#include <QString>

class AppModel;

// Tells the user through the desktop's notification service (org.freedesktop.Notifications)
// that a unit's filter is due: once per reminder, also across restarts, with an action "Done"
// that ends the reminder. A reminder is the unit's id with the time of its last cleaning, which
// the next reminder no longer shares. While no service owns the name nothing is shown, and a
// reminder not yet told is told once one appears.
class DesktopNotifications : public QObject {
    Q_OBJECT
public:
    // Where the reminders told are kept in the user defaults store.
    static const QString storeKey;

    DesktopNotifications(AppModel& model, QSettings& store, QDBusConnection bus,
                         QObject* parent = nullptr);

private Q_SLOTS:
    void actionInvoked(uint notification, const QString& action);
    void notificationClosed(uint notification, uint reason);

private:
    void tellDueReminders();

    AppModel& model;
    QSettings& store;
    QDBusConnection bus;
    QDBusServiceWatcher serviceWatch;
    QHash<QString, QString> told; // per unit: the reminder told last
    QSet<QString> telling;        // units whose notification is being sent
    QHash<uint, QString> shown;   // the notifications on screen, to their units
};
