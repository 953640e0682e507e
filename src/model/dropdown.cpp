#include "model/dropdown.h"

#include "client/records.h"

#include <algorithm>

void Dropdown::moveHighlight(int step) {
    if (options.isEmpty())
        return;
    const qsizetype last = options.size() - 1;
    const qsizetype start = highlighted ? *highlighted : (step > 0 ? -1 : last + 1);
    highlighted = int(std::clamp<qsizetype>(start + step, 0, last));
}

QList<Dropdown::Option> Swing::options(const QStringList& values) {
    QList<Dropdown::Option> rows;
    QStringList ranges;
    for (const QString& value : values) {
        if (value.startsWith(u"range"))
            ranges.append(value);
    }
    if (ranges.removeAll(QStringLiteral("rangeFull")) > 0)
        ranges.prepend(QStringLiteral("rangeFull"));
    for (const QString& value : std::as_const(ranges))
        rows.append({.id = value,
                     .title = title(value),
                     .icon = Dropdown::Option::Symbol{"arrow.up.and.down"}});

    const QStringList fixed = positions(values);
    for (qsizetype i = 0; i < fixed.size(); ++i) {
        const QString& value = fixed.at(i);
        rows.append({.id = value,
                     .title = title(value),
                     .icon = Dropdown::Option::Vane{aim(value).value_or(0.5)},
                     .startsGroup = i == 0 && !rows.isEmpty()});
    }
    if (values.contains(u"stopped")) {
        const QString stopped = QStringLiteral("stopped");
        rows.append({.id = stopped,
                     .title = title(stopped),
                     .icon = Dropdown::Option::Symbol{"pause"},
                     .startsGroup = !rows.isEmpty()});
    }
    return rows;
}

QList<Dropdown::Option> Sideways::options(const QStringList& values) {
    QStringList ranges;
    for (const QString& value : values)
        if (value.startsWith(u"range"))
            ranges.append(value);
    if (ranges.removeAll(QStringLiteral("rangeFull")) > 0)
        ranges.prepend(QStringLiteral("rangeFull"));
    const QList<QStringList> groups{ranges, positions(values),
                                    values.contains(u"stopped") ? QStringList{"stopped"}
                                                                : QStringList{}};
    QList<Dropdown::Option> rows;
    for (const QStringList& group : groups)
        for (qsizetype i = 0; i < group.size(); ++i)
            rows.append({.id = group.at(i),
                         .title = title(group.at(i)),
                         .icon = Dropdown::Option::Symbol{symbol(group.at(i))},
                         .startsGroup = i == 0 && !rows.isEmpty()});
    return rows;
}
