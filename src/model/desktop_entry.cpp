#include "model/desktop_entry.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

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

namespace DesktopEntry {

std::optional<QString> write(const QString& path, const QString& program,
                             const QString& extraLines) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("Couldn't create the folder %1.").arg(folder);
    QSaveFile entry(path);
    if (!entry.open(QIODevice::WriteOnly))
        return entry.errorString();
    entry.write(QStringLiteral("[Desktop Entry]\n"
                               "Type=Application\n"
                               "Name=Alvore\n"
                               "Exec=%1\n")
                    .arg(execArgument(program))
                    .toUtf8());
    entry.write(extraLines.toUtf8());
    if (!entry.commit())
        return entry.errorString();
    return std::nullopt;
}

} // namespace DesktopEntry
