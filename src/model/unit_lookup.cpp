#include "model/unit_lookup.h"

namespace UnitLookup {
namespace {
QString known(const QList<Pod>& pods) {
    QStringList names;
    for (qsizetype i = 0; i < pods.size(); ++i)
        names.append(QString::number(i + 1) + u' ' + pods.at(i).displayName());
    return names.isEmpty()
               ? QStringLiteral("There are no units.")
               : QStringLiteral("The units are: ") + names.join(QStringLiteral(", ")) + u'.';
}
} // namespace

std::variant<Pod, QString> find(const QList<Pod>& pods, const QString& text) {
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return QStringLiteral("No unit given. ") + known(pods);
    for (const Pod& pod : pods)
        if (pod.id == wanted)
            return pod;
    bool isNumber = false;
    const qsizetype number = wanted.toLongLong(&isNumber);
    if (isNumber) {
        if (number >= 1 && number <= pods.size())
            return pods.at(number - 1);
        return QStringLiteral("There is no unit %1. ").arg(wanted) + known(pods);
    }
    QList<Pod> starting;
    for (const Pod& pod : pods) {
        const QString name = pod.displayName();
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return pod;
        if (name.startsWith(wanted, Qt::CaseInsensitive))
            starting.append(pod);
    }
    if (starting.size() == 1)
        return starting.first();
    if (starting.isEmpty())
        return QStringLiteral("No unit is called \"%1\". ").arg(wanted) + known(pods);
    QStringList names;
    for (const Pod& pod : std::as_const(starting))
        names.append(pod.displayName());
    return QStringLiteral("\"%1\" could be %2: give more of the name.")
        .arg(wanted, names.join(QStringLiteral(" or ")));
}
} // namespace UnitLookup
