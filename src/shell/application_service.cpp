#include "shell/application_service.h"

#include <QDBusError>

const QString ApplicationService::busName = QStringLiteral("com.brindlework.Alvore");
const QString ApplicationService::objectPath = QStringLiteral("/com/brindlework/Alvore");

ApplicationService::ApplicationService(QObject* parent) : QObject(parent) {
    new FreedesktopApplicationAdaptor(this);
}

FreedesktopApplicationAdaptor::FreedesktopApplicationAdaptor(ApplicationService* service)
    : QDBusAbstractAdaptor(service), application(service) {
}

void FreedesktopApplicationAdaptor::Activate(const QVariantMap&) {
    Q_EMIT application->activated();
}

void FreedesktopApplicationAdaptor::Open(const QStringList&, const QVariantMap&) {
    Q_EMIT application->activated();
}

void FreedesktopApplicationAdaptor::ActivateAction(const QString& name, const QVariantList&,
                                                   const QVariantMap&) {
    application->sendErrorReply(QDBusError::NotSupported,
                                QStringLiteral("Alvore has no action named \"%1\".").arg(name));
}
