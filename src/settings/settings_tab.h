#pragma once

#include <QList>
#include <QString>

class ViewState;

// The tabs of the settings window, in display order. The one last shown is kept in the view
// state, so it comes back with the next window and the next run.
enum class SettingsTab { general, presets, account };

namespace SettingsTabs {

QList<SettingsTab> all();
QString title(SettingsTab tab);
QString symbol(SettingsTab tab);
// The stored form: "general", "presets" or "account".
QString rawValue(SettingsTab tab);

// The stored tab; general when none is stored or the stored text names no tab.
SettingsTab load(const ViewState& views);
void save(SettingsTab tab, ViewState& views);

} // namespace SettingsTabs
