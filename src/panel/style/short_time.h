#pragma once

#include <QDateTime>
#include <QString>

// The short time texts of the panel: how long ago something happened, and a countdown.
namespace ShortTime {

// "just now" under 5 seconds (and for a time in the future), then "12s ago", "4m ago", "2h ago".
QString ago(const QDateTime& date, const QDateTime& now);
// "4:05" under an hour, "1:02:09" from an hour on; "0:00" once the target has passed.
QString countdown(const QDateTime& target, const QDateTime& now);
// The locale's short time-of-day format ("HH:mm", "h:mm AP", ...), without seconds.
QString timeOfDayFormat();

} // namespace ShortTime
