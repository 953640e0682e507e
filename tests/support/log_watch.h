#pragma once

#include <QStringList>

// Reads the lines that reach the program's log file after the watch was made, without their
// time stamps.
class LogWatch {
public:
    LogWatch();
    QStringList newLines() const; // flushes the log first

private:
    qint64 start;
};
