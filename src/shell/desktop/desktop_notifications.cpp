#include "shell/desktop/desktop_notifications.h"

#include "client/app_log.h"
#include "model/app_model.h"
#include "model/filter_reminder.h"
#include "model/stored_record.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QJsonDocument>
#include <QJsonObject>

const QString DesktopNotifications::storeKey = QStringLiteral("filterRemindersTold");

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString doneAction = QStringLiteral("done");

std::optional<QHash<QString, QString>> decodeTold(const QByteArray& json) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return std::nullopt;
    QHash<QString, QString> told;
    const QJsonObject object = document.object();
    for (auto entry = object.begin(); entry != object.end(); ++entry) {
        if (!entry->isString())
            return std::nullopt;
        told.insert(entry.key(), entry->toString());
    }
    return told;
}

QString reminder(const FiltersCleaning& filters) {
    return filters.lastFiltersCleanTime ? filters.lastFiltersCleanTime->time.value_or(QString())
                                        : QString();
}
} // namespace

DesktopNotifications::DesktopNotifications(AppModel& model, QSettings& store, QDBusConnection bus,
                                           QObject* parent)
    : QObject(parent), model(model), store(store), bus(bus),
      serviceWatch(service, bus, QDBusServiceWatcher::WatchForRegistration) {
    told = loadStoredRecord(store, storeKey, decodeTold).value_or(QHash<QString, QString>{});
    bus.connect(service, path, service, QStringLiteral("ActionInvoked"), this,
                SLOT(actionInvoked(uint, QString)));
    bus.connect(service, path, service, QStringLiteral("NotificationClosed"), this,
                SLOT(notificationClosed(uint, uint)));
    connect(&model, &AppModel::podsChanged, this, &DesktopNotifications::tellDueReminders);
    connect(&serviceWatch, &QDBusServiceWatcher::serviceRegistered, this,
            &DesktopNotifications::tellDueReminders);
    tellDueReminders();
}

void DesktopNotifications::tellDueReminders() {
    QList<Pod> untold;
    for (const Pod& pod : model.pods())
        if (pod.isFilterDue() && !telling.contains(pod.id) &&
            told.value(pod.id, QStringLiteral("-")) != reminder(*pod.filtersCleaning))
            untold.append(pod);
    if (untold.isEmpty() || !bus.isConnected() || !bus.interface()->isServiceRegistered(service))
        return;
    for (const Pod& pod : std::as_const(untold)) {
        QDBusMessage notify =
            QDBusMessage::createMethodCall(service, path, service, QStringLiteral("Notify"));
        notify.setAutoStartService(false);
        notify << QStringLiteral("Alvore") << uint(0) << QString()
               << pod.displayName() + QStringLiteral(" — clean the filter")
               << FilterReminder::usage(*pod.filtersCleaning)
               << QStringList{doneAction, QStringLiteral("Done")} << QVariantMap() << -1;
        telling.insert(pod.id);
        auto* call = new QDBusPendingCallWatcher(bus.asyncCall(notify), this);
        connect(call, &QDBusPendingCallWatcher::finished, this,
                [this, id = pod.id,
                 key = reminder(*pod.filtersCleaning)](QDBusPendingCallWatcher* call) {
                    call->deleteLater();
                    telling.remove(id);
                    const QDBusPendingReply<uint> answer = *call;
                    if (answer.isError()) {
                        AppLog::write(QStringLiteral("the filter reminder couldn't be shown: ") +
                                      answer.error().message());
                        return;
                    }
                    shown.insert(answer.value(), id);
                    told.insert(id, key);
                    QJsonObject record;
                    for (auto entry = told.cbegin(); entry != told.cend(); ++entry)
                        record.insert(entry.key(), entry.value());
                    saveStoredRecord(store, storeKey,
                                     QJsonDocument(record).toJson(QJsonDocument::Compact));
                });
    }
}

void DesktopNotifications::actionInvoked(uint notification, const QString& action) {
    const auto found = shown.constFind(notification);
    if (found != shown.cend() && action == doneAction)
        model.features().filterCleaned(*found);
}

void DesktopNotifications::notificationClosed(uint notification, uint) {
    shown.remove(notification);
}
