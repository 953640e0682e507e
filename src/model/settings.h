#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <optional>

// The user's choices that survive between runs, stored as the bytes of one JSON object under
// "settings" in the user defaults store.
struct Settings {
    std::optional<QString> menuBarPodID; // absent: the model's default unit
    QString unit = QStringLiteral("C");  // for room readings; "F" is Fahrenheit, else Celsius
    qint64 closedInterval = 60;          // seconds between polls while the panel is closed
    bool showTemperatureInMenuBar = true;
    // The tray icon's lines: light ones (for a dark bar), dark ones, or as the desktop's colour
    // scheme says. Stored as "automatic", "light" or "dark"; anything else reads as automatic.
    enum class TrayIcon { automatic, light, dark };
    TrayIcon trayIcon = TrayIcon::automatic;

    bool operator==(const Settings&) const = default;

    // The stored record, or the defaults when there is none or it does not decode whole (then
    // the stored value is kept aside, see loadStoredRecord).
    static Settings load(QSettings& store);
    void save(QSettings& store) const;

    QByteArray toJson() const;
    // Absent when a required key is missing or any value has the wrong type.
    static std::optional<Settings> fromJson(const QByteArray& json);

    // A room reading given in degrees Celsius, in this record's unit, for the user's locale:
    // "23.4°"; "–" when there is no reading.
    QString reading(std::optional<double> celsius, int decimals) const;
};
