#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

// The `alvore` commands that drive the running app (`alvore status`, `alvore on Office`, ...),
// as opposed to the switches that start it (`alvore --demo`).
namespace CommandLine {

struct Request {
    enum Kind { call, status, watch };
    Kind kind = call;
    QString method;         // call: the method of the app's control interface
    QVariantList arguments; // call: its arguments
    bool json = false;      // status --json
    bool waybar = false;    // watch --format waybar
};

// What the command line asks for: a request, a help text to print, or a usage error.
struct Parsed {
    enum Kind { send, help, usageError };
    Kind kind = usageError;
    Request request;
    QString text; // the help text, or the usage error
};

// Whether the first argument after the program's name names a command rather than starting the
// app.
bool isCommand(int argc, const char* const* argv);
Parsed parse(const QStringList& arguments);

// A duration such as "30m", "2h", "1h30m" or "45" (minutes), in minutes; 0 when not one.
uint minutes(const QString& text);

} // namespace CommandLine
