#include "model/login_item.h"

#include "model/desktop_entry.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

LoginItem::LoginItem(QString folder, QString program)
    : autostartFolder(std::move(folder)), programPath(std::move(program)) {
}

LoginItem LoginItem::forThisApp() {
    const QString appImage = qEnvironmentVariable("APPIMAGE");
    const QString program =
        !appImage.isEmpty()
            ? appImage
            : stableProgram(QCoreApplication::applicationFilePath(),
                            qEnvironmentVariable("PATH").split(':', Qt::SkipEmptyParts));
    return LoginItem(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         "/autostart",
                     program);
}

QString LoginItem::stableProgram(const QString& executable, const QStringList& searchPath) {
    const QString found = QStandardPaths::findExecutable(QStringLiteral("alvore"), searchPath);
    if (found.isEmpty())
        return executable;
    // An executable that no longer resolves was replaced under the running program.
    const QString target = QFileInfo(executable).canonicalFilePath();
    return target.isEmpty() || QFileInfo(found).canonicalFilePath() == target ? found : executable;
}

QString LoginItem::entryPath() const {
    return autostartFolder + "/alvore.desktop";
}

bool LoginItem::isRegistered() const {
    return QFileInfo(entryPath()).isFile();
}

std::optional<QString> LoginItem::setRegistered(bool registered) const {
    if (!registered) {
        QFile entry(entryPath());
        if (!entry.exists() || entry.remove())
            return std::nullopt;
        return entry.errorString();
    }
    return DesktopEntry::write(entryPath(), programPath,
                               QStringLiteral("X-GNOME-Autostart-enabled=true\n"));
}
