#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Starting the app when the user logs in, through an XDG autostart entry "alvore.desktop".
class LoginItem {
public:
    // The entry lives in `folder` and starts `program`.
    LoginItem(QString folder, QString program);
    // $XDG_CONFIG_HOME/autostart, starting this executable (or the AppImage it runs from).
    static LoginItem forThisApp();
    // What the entry should start to run `executable`: the `alvore` found first in `searchPath`
    // when that is the same file (as once installed) or `executable` is gone, so that an upgrade
    // that puts a new version there, or moves the file a link points to, still starts;
    // otherwise `executable` itself (a build folder, a copy elsewhere).
    static QString stableProgram(const QString& executable, const QStringList& searchPath);

    bool isRegistered() const;
    // Writes (true) or removes (false) the entry; returns what went wrong, if anything.
    std::optional<QString> setRegistered(bool registered) const;

    QString entryPath() const;

private:
    QString autostartFolder;
    QString programPath;
};
