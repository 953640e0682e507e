#pragma once

#include <QString>

// The program's log file, "alvore.log" in the user's log folder ($XDG_STATE_HOME/Alvore).
// Lines are "<UTC time> <message>\n", stamped at the call and written in call order by one
// background writer; writing never blocks or fails the caller.
namespace AppLog {
// The log file's path; computed once, on first use, which also creates the folder.
QString path();
void write(const QString& message);
// Waits until every line written so far is in the file (for tests and before quitting).
void flush();
} // namespace AppLog
