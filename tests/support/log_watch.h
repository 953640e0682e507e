#pragma once

#include "client/app_log.h"

#include <QFile>
#include <QStringList>

// Reads the lines that reach the program's log file after the watch was made, without their
// time stamps.
class LogWatch {
public:
    LogWatch() : start((AppLog::flush(), QFile(AppLog::path()).size())) {}

    QStringList newLines() const { // flushes the log first
        AppLog::flush();
        QFile file(AppLog::path());
        if (!file.open(QIODevice::ReadOnly) || !file.seek(start))
            return {};
        QStringList lines;
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.isEmpty())
                lines.append(QString::fromUtf8(line.mid(line.indexOf(' ') + 1)));
        return lines;
    }

private:
    qint64 start;
};
