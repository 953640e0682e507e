#include "support/temporary_settings.h"

TemporarySettings::TemporarySettings()
    : m_store(
          std::make_unique<QSettings>(m_folder.filePath("settings.ini"), QSettings::IniFormat)) {
}
