#include "support/temporary_settings.h"

TemporarySettings::TemporarySettings()
    : settingsStore(std::make_unique<QSettings>(settingsFolder.filePath("settings.ini"),
                                                QSettings::IniFormat)) {
}
