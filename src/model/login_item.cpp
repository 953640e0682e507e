#include "model/login_item.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
// The program as one quoted argument of an Exec line, then escaped as a desktop-entry string.
QString execArgument(const QString& program) {
    QString quoted;
    for (const QChar c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    quoted = '"' + quoted + '"';
    return quoted.replace("\\", "\\\\").replace("%", "%%");
}
} // namespace

LoginItem::LoginItem(QString folder, QString program)
    : autostartFolder(std::move(folder)), programPath(std::move(program)) {
}

LoginItem LoginItem::forThisApp() {
    const QString appImage = qEnvironmentVariable("APPIMAGE");
    return LoginItem(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         "/autostart",
                     appImage.isEmpty() ? QCoreApplication::applicationFilePath() : appImage);
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
    if (!QDir().mkpath(autostartFolder))
        return QStringLiteral("Couldn't create the folder %1.").arg(autostartFolder);
    QSaveFile entry(entryPath());
    if (!entry.open(QIODevice::WriteOnly))
        return entry.errorString();
    entry.write(QStringLiteral("[Desktop Entry]\n"
                               "Type=Application\n"
                               "Name=Alvore\n"
                               "Exec=%1\n"
                               "X-GNOME-Autostart-enabled=true\n")
                    .arg(execArgument(programPath))
                    .toUtf8());
    if (!entry.commit())
        return entry.errorString();
    return std::nullopt;
}
