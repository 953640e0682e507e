#include "panel/style/short_time.h"

#include <QLocale>
#include <algorithm>

namespace ShortTime {

QString ago(const QDateTime& date, const QDateTime& now) {
    const qint64 seconds = std::max<qint64>(0, date.msecsTo(now) / 1000);
    if (seconds < 5)
        return QStringLiteral("just now");
    if (seconds < 60)
        return QStringLiteral("%1s ago").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1m ago").arg(seconds / 60);
    return QStringLiteral("%1h ago").arg(seconds / 3600);
}

QString countdown(const QDateTime& target, const QDateTime& now) {
    const qint64 seconds = std::max<qint64>(0, now.msecsTo(target) / 1000);
    const auto twoDigits = [](qint64 value) {
        return QStringLiteral("%1").arg(value, 2, 10, QChar('0'));
    };
    if (seconds < 3600)
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(twoDigits(seconds % 60));
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(twoDigits(seconds / 60 % 60))
        .arg(twoDigits(seconds % 60));
}

QString timeOfDayFormat() {
    // Some locales' short format has seconds.
    QString format = QLocale().timeFormat(QLocale::ShortFormat);
    format.remove(QStringLiteral(":ss"));
    return format;
}

} // namespace ShortTime
