#include "model/settings.h"

#include "client/records.h"
#include "model/stored_record.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {
const auto storeKey = QStringLiteral("settings");

// JSON numbers are doubles; an integer is one without a fraction that fits 64 bits.
std::optional<qint64> integer(const QJsonValue& value) {
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::floor(number) || std::fabs(number) >= 9.2e18)
        return std::nullopt;
    return static_cast<qint64>(number);
}

const QStringList trayIconNames{QStringLiteral("automatic"), QStringLiteral("light"),
                                QStringLiteral("dark")};
} // namespace

Settings Settings::load(QSettings& store) {
    return loadStoredRecord(store, storeKey, &fromJson).value_or(Settings{});
}

void Settings::save(QSettings& store) const {
    saveStoredRecord(store, storeKey, toJson());
}

QByteArray Settings::toJson() const {
    QJsonObject object{{"unit", unit},
                       {"closedInterval", closedInterval},
                       {"showTemperatureInMenuBar", showTemperatureInMenuBar},
                       {"trayIcon", trayIconNames.at(int(trayIcon))}};
    if (menuBarPodID)
        object.insert("menuBarPodID", *menuBarPodID);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<Settings> Settings::fromJson(const QByteArray& json) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue podID = object.value("menuBarPodID");
    const QJsonValue unit = object.value("unit");
    const std::optional<qint64> interval = integer(object.value("closedInterval"));
    const QJsonValue showTemperature = object.value("showTemperatureInMenuBar");
    const bool podIDAbsent = podID.isUndefined() || podID.isNull();
    if ((!podIDAbsent && !podID.isString()) || !unit.isString() || !interval ||
        !showTemperature.isBool())
        return std::nullopt;
    Settings settings;
    if (!podIDAbsent)
        settings.menuBarPodID = podID.toString();
    settings.unit = unit.toString();
    settings.closedInterval = *interval;
    settings.showTemperatureInMenuBar = showTemperature.toBool();
    // Added later than the others: a record without it, or with a value this version does not
    // know, keeps the rest.
    settings.trayIcon = Settings::TrayIcon(
        std::max<qsizetype>(0, trayIconNames.indexOf(object.value("trayIcon").toString())));
    return settings;
}

QString Settings::reading(std::optional<double> celsius, int decimals) const {
    if (!celsius)
        return QStringLiteral("–");
    const double value = unit == QLatin1String("F") ? toFahrenheit(*celsius) : *celsius;
    return QLocale().toString(value, 'f', decimals) + QStringLiteral("°");
}
