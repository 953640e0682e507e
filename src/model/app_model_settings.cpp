#include "client/app_log.h"
#include "model/app_model.h"

void AppModel::setSettings(const Settings& settings) {
    const Settings previous = std::exchange(userSettings, settings);
    userSettings.save(deps.store);
    if (userSettings != previous)
        Q_EMIT settingsChanged();
    if (userSettings.closedInterval != previous.closedInterval)
        restartPolling();
}

bool AppModel::launchAtLogin() const {
    return deps.loginItem.isRegistered();
}

void AppModel::setLaunchAtLogin(bool enabled) {
    if (const std::optional<QString> failure = deps.loginItem.setRegistered(enabled))
        AppLog::write(QStringLiteral("launch at login change failed: ") + *failure);
    // After a failure the switch flips back to what the system really has.
    Q_EMIT launchAtLoginChanged();
}
