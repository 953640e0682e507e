#include "shell/control/application_service.h"

#include "shell/control/freedesktop_application_adaptor.h"

const QString ApplicationService::busName = QStringLiteral("com.brindlework.Alvore");
const QString ApplicationService::objectPath = QStringLiteral("/com/brindlework/Alvore");

ApplicationService::ApplicationService(QObject* parent) : QObject(parent) {
    new FreedesktopApplicationAdaptor(this);
}
