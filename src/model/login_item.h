#pragma once

#include <QString>
#include <optional>

// Starting the app when the user logs in, through an XDG autostart entry "alvore.desktop".
class LoginItem {
public:
    // The entry lives in `folder` and starts `program`.
    LoginItem(QString folder, QString program);
    // $XDG_CONFIG_HOME/autostart, starting this executable (or the AppImage it runs from).
    static LoginItem forThisApp();

    bool isRegistered() const;
    // Writes (true) or removes (false) the entry; returns what went wrong, if anything.
    std::optional<QString> setRegistered(bool registered) const;

    QString entryPath() const;

private:
    QString autostartFolder;
    QString programPath;
};
