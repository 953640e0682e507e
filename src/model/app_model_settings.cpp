#include "client/app_log.h"
#include "model/app_model.h"

void AppModel::setSettings(const Settings& settings) {
    const Settings previous = std::exchange(m_settings, settings);
    m_settings.save(m_dependencies.store);
    if (m_settings != previous)
        Q_EMIT settingsChanged();
    if (m_settings.closedInterval != previous.closedInterval)
        restartPolling();
}

bool AppModel::launchAtLogin() const {
    return m_dependencies.loginItem.isRegistered();
}

void AppModel::setLaunchAtLogin(bool enabled) {
    if (const std::optional<QString> failure = m_dependencies.loginItem.setRegistered(enabled))
        AppLog::write(QStringLiteral("launch at login change failed: ") + *failure);
    // After a failure the switch flips back to what the system really has.
    Q_EMIT launchAtLoginChanged();
}
