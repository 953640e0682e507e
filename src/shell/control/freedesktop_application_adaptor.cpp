#include "shell/control/freedesktop_application_adaptor.h"

#include "shell/control/application_service.h"

#include <QDBusError>

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
