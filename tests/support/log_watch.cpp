#include "support/log_watch.h"

#include "client/app_log.h"

#include <QFile>

LogWatch::LogWatch() {
    AppLog::flush();
    start = QFile(AppLog::path()).size();
}

QStringList LogWatch::newLines() const {
    AppLog::flush();
    QFile file(AppLog::path());
    if (!file.open(QIODevice::ReadOnly) || !file.seek(start))
        return {};
    QStringList lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.isEmpty())
            lines.append(QString::fromUtf8(line.mid(line.indexOf(' ') + 1)));
    }
    return lines;
}
