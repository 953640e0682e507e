#include "settings/settings_tab.h"

#include "model/view_state.h"

namespace SettingsTabs {

QList<SettingsTab> all() {
    return {SettingsTab::general, SettingsTab::presets, SettingsTab::account};
}

QString title(SettingsTab tab) {
    switch (tab) {
    case SettingsTab::general:
        return QStringLiteral("General");
    case SettingsTab::presets:
        return QStringLiteral("Presets");
    case SettingsTab::account:
        return QStringLiteral("Account");
    }
    return {};
}

QString symbol(SettingsTab tab) {
    switch (tab) {
    case SettingsTab::general:
        return QStringLiteral("gearshape");
    case SettingsTab::presets:
        return QStringLiteral("star");
    case SettingsTab::account:
        return QStringLiteral("key");
    }
    return {};
}

QString rawValue(SettingsTab tab) {
    return title(tab).toLower();
}

SettingsTab load(const ViewState& views) {
    const QString stored = views.settingsTab();
    for (const SettingsTab tab : all())
        if (rawValue(tab) == stored)
            return tab;
    return SettingsTab::general;
}

void save(SettingsTab tab, ViewState& views) {
    views.setSettingsTab(rawValue(tab));
}

} // namespace SettingsTabs
