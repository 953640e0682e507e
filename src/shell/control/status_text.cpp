#include "shell/control/status_text.h"

#include "client/records.h"
#include "panel/style/short_time.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace StatusText {
namespace {
QString degrees(const QVariant& value, const QVariant& unit, int decimals) {
    return QString::number(value.toDouble(), 'f', decimals) + u'°' + unit.toString();
}

QString problem(const QString& state, bool running) {
    if (!running)
        return QStringLiteral("Alvore is not running.");
    if (state == u"signedOut")
        return QStringLiteral("Alvore is signed out.");
    if (state == u"loading")
        return QStringLiteral("Alvore is reading the units.");
    return {};
}
} // namespace

QString line(const QVariantMap& unit, const QDateTime& now) {
    QStringList parts{unit.value("number").toString() + u' ' + unit.value("name").toString()};
    if (!unit.value("online").toBool()) {
        parts.append(QStringLiteral("offline"));
        return parts.join(QStringLiteral("  "));
    }
    parts.append(unit.value("on").toBool() ? QStringLiteral("on") : QStringLiteral("off"));
    QString setting = ACMode::title(unit.value("mode").toString());
    if (unit.contains("target"))
        setting += u' ' + degrees(unit.value("target"), unit.value("targetUnit"), 0);
    parts.append(setting.trimmed());
    if (unit.contains("fan"))
        parts.append(QStringLiteral("fan ") + unit.value("fan").toString());
    QStringList room;
    if (unit.contains("roomTemperature"))
        room.append(degrees(unit.value("roomTemperature"), unit.value("roomUnit"), 1));
    if (unit.contains("humidity"))
        room.append(QString::number(unit.value("humidity").toDouble(), 'f', 0) + u'%');
    if (!room.isEmpty())
        parts.append(QStringLiteral("room ") + room.join(u' '));
    if (unit.contains("timerAt")) {
        const QDateTime at = QDateTime::fromSecsSinceEpoch(unit.value("timerAt").toLongLong());
        parts.append(QStringLiteral("timer %1 then %2")
                         .arg(ShortTime::countdown(at, now), unit.value("timerTurnsOn").toBool()
                                                                 ? QStringLiteral("on")
                                                                 : QStringLiteral("off")));
    }
    if (unit.value("climateReact").toBool())
        parts.append(QStringLiteral("Climate React on"));
    if (unit.value("filterDue").toBool())
        parts.append(QStringLiteral("clean the filter"));
    parts.removeAll(QString());
    return parts.join(QStringLiteral("  "));
}

QStringList lines(const QList<QVariantMap>& units, const QString& state, const QDateTime& now) {
    if (const QString why = problem(state, true); !why.isEmpty())
        return {why};
    QStringList lines;
    if (state == u"offline")
        lines.append(QStringLiteral("The service cannot be reached; the units as last seen:"));
    for (const QVariantMap& unit : units)
        lines.append(line(unit, now));
    if (units.isEmpty())
        lines.append(QStringLiteral("There are no units."));
    return lines;
}

QByteArray json(const QList<QVariantMap>& units, const QString& state) {
    QJsonArray list;
    for (const QVariantMap& unit : units)
        list.append(QJsonObject::fromVariantMap(unit));
    return QJsonDocument(QJsonObject{{"state", state}, {"units", list}})
        .toJson(QJsonDocument::Compact);
}

QString watchLine(const QList<QVariantMap>& units, const QString& state, bool running, bool waybar,
                  const QDateTime& now) {
    const QVariantMap* shown = nullptr;
    for (const QVariantMap& unit : units)
        if (unit.value("tray").toBool())
            shown = &unit;
    QString why = problem(state, running);
    if (why.isEmpty() && !shown)
        why = QStringLiteral("There are no units.");
    if (!waybar)
        return why.isEmpty() ? line(*shown, now) : why;

    QJsonObject module;
    if (!why.isEmpty()) {
        module = {{"text", ""}, {"tooltip", why}, {"class", "offline"}};
    } else {
        const bool online = shown->value("online").toBool() && state != u"offline";
        const bool on = shown->value("on").toBool();
        module = {
            {"text", shown->contains("roomTemperature")
                         ? degrees(shown->value("roomTemperature"), {}, 1)
                         : shown->value("name").toString()},
            {"tooltip", lines(units, state, now).join(u'\n')},
            {"class", !online ? "offline"
                      : on    ? "on"
                              : "off"},
        };
    }
    return QString::fromUtf8(QJsonDocument(module).toJson(QJsonDocument::Compact));
}

} // namespace StatusText
