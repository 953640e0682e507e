#pragma once

#include <QString>
#include <optional>

// XDG desktop entries that start the app.
namespace DesktopEntry {
// Writes, all at once, an application entry named Alvore at `path` that starts `program`, with
// `extraLines` ("Key=value\n" each) after the common keys; creates the folder if needed.
// Returns what went wrong, if anything.
std::optional<QString> write(const QString& path, const QString& program,
                             const QString& extraLines = {});
} // namespace DesktopEntry
