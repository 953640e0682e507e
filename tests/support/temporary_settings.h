#pragma once

#include <QSettings>
#include <QTemporaryDir>

// A settings store of its own in a temporary folder, gone with the object: tests never touch
// the app's real settings.
class TemporarySettings {
public:
    QSettings& store() { return settingsStore; }
    QString folder() const { return settingsFolder.path(); }

private:
    QTemporaryDir settingsFolder;
    QSettings settingsStore{settingsFolder.filePath("settings.ini"), QSettings::IniFormat};
};
