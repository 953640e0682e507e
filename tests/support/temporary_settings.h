#pragma once

#include <QSettings>
#include <QTemporaryDir>
#include <memory>

// A settings store of its own in a temporary folder, gone with the object: tests never touch
// the app's real settings.
class TemporarySettings {
public:
    TemporarySettings();

    QSettings& store() { return *settingsStore; }
    QString folder() const { return settingsFolder.path(); }

private:
    QTemporaryDir settingsFolder;
    std::unique_ptr<QSettings> settingsStore;
};
