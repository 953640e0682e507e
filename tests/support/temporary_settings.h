#pragma once

#include <QSettings>
#include <QTemporaryDir>
#include <memory>

// A settings store of its own in a temporary folder, gone with the object: tests never touch
// the app's real settings.
class TemporarySettings {
public:
    TemporarySettings();

    QSettings& store() { return *m_store; }
    QString folder() const { return m_folder.path(); }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<QSettings> m_store;
};
