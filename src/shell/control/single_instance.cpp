#include "shell/control/single_instance.h"

#include "client/app_log.h"
#include "shell/control/application_service.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>

namespace SingleInstance {
namespace {
// Whether the holder of the name has gone between our request for it and our call.
bool holderGone(const QDBusMessage& answer) {
    const QDBusError error(answer);
    return error.type() == QDBusError::ServiceUnknown ||
           error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
}

QDBusReply<QDBusConnectionInterface::RegisterServiceReply> requestName(QDBusConnection& bus) {
    // Exactly one of the starts that ask at once gets the name: the bus decides.
    return bus.interface()->registerService(ApplicationService::busName,
                                            QDBusConnectionInterface::DontQueueService,
                                            QDBusConnectionInterface::DontAllowReplacement);
}

} // namespace

Claim claim(QDBusConnection bus, ApplicationService& service,
            std::chrono::milliseconds answerWait) {
    if (!bus.isConnected())
        return Claim::alone;
    // The object is there before the name is ours: a start racing this one calls it the moment
    // it finds the name taken, and the call waits in the queue until the event loop runs.
    if (!bus.registerObject(ApplicationService::objectPath, &service,
                            QDBusConnection::ExportAdaptors)) {
        AppLog::write(QStringLiteral("single instance: the object path is taken"));
        return Claim::alone;
    }
    // Two attempts: the holder may quit between our request and our call.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const auto reply = requestName(bus);
        if (!reply.isValid()) {
            AppLog::write(QStringLiteral("single instance: the session bus refused the name: ") +
                          reply.error().message());
            break;
        }
        if (reply.value() == QDBusConnectionInterface::ServiceRegistered)
            return Claim::first;

        QDBusMessage call = QDBusMessage::createMethodCall(
            ApplicationService::busName, ApplicationService::objectPath,
            QStringLiteral("org.freedesktop.Application"), QStringLiteral("Activate"));
        call << QVariantMap();
        call.setAutoStartService(false);
        const QDBusMessage answer =
            bus.call(call, QDBus::BlockWithGui, static_cast<int>(answerWait.count()));
        if (answer.type() == QDBusMessage::ErrorMessage && holderGone(answer))
            continue;
        bus.unregisterObject(ApplicationService::objectPath);
        return Claim::handedOver;
    }
    bus.unregisterObject(ApplicationService::objectPath);
    return Claim::alone;
}

void release(const QDBusConnection& bus) {
    if (bus.isConnected())
        bus.interface()->unregisterService(ApplicationService::busName);
}

void claimAgain(QDBusConnection bus) {
    if (bus.isConnected())
        requestName(bus);
}

} // namespace SingleInstance
