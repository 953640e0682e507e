#include "model/filter_reminder.h"

#include <QDateTime>
#include <QLocale>

namespace FilterReminder {

QString usage(const FiltersCleaning& filters) {
    const std::optional<qint64> seconds = filters.acOnSecondsSinceLastFiltersClean;
    const QDateTime cleaned =
        filters.lastFiltersCleanTime && filters.lastFiltersCleanTime->time
            ? QDateTime::fromString(*filters.lastFiltersCleanTime->time, Qt::ISODate)
            : QDateTime();
    const QString on = cleaned.isValid()
                           ? QLocale().toString(cleaned.toLocalTime().date(), QLocale::ShortFormat)
                           : QString();
    if (!seconds)
        return on.isEmpty() ? QString() : QStringLiteral("Last cleaned on ") + on;
    const qint64 hours = *seconds / 3600;
    QString text = QStringLiteral("Ran %1 %2 since the last cleaning")
                       .arg(hours)
                       .arg(hours == 1 ? QStringLiteral("hour") : QStringLiteral("hours"));
    return on.isEmpty() ? text : text + QStringLiteral(" on ") + on;
}

} // namespace FilterReminder
