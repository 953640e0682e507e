#pragma once

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// The service's records of one air-conditioner unit. Every member is optional unless noted;
// equality is member-wise. JSON keys equal the member names.

struct TimeStamp {
    std::optional<QString> time; // the service's text, never parsed
    std::optional<qint64> secondsAgo;
    bool operator==(const TimeStamp&) const = default;
};

// The settable state of a unit; the only record that is also encoded (see json_codec.h).
struct ACState {
    std::optional<bool> on;
    std::optional<QString> mode;
    std::optional<qint64> targetTemperature; // whole degrees in temperatureUnit
    std::optional<QString> temperatureUnit;  // "C" or "F"
    std::optional<QString> fanLevel;
    std::optional<QString> swing;
    std::optional<QString> horizontalSwing;
    std::optional<QString> light;

    // Only a state that says so is on; an absent `on` counts as off.
    bool isOn() const { return on == true; }

    bool operator==(const ACState&) const = default;
};

// Degrees Celsius in degrees Fahrenheit.
constexpr double toFahrenheit(double celsius) {
    return celsius * 9 / 5 + 32;
}

struct Measurements {
    std::optional<double> temperature; // degrees Celsius
    std::optional<double> humidity;
    std::optional<double> feelsLike;
    std::optional<double> co2;
    std::optional<double> tvoc;
    std::optional<double> pm25;
    std::optional<TimeStamp> time;
    bool operator==(const Measurements&) const = default;
};

struct ModeCapabilities {
    struct TemperatureRange {
        std::optional<bool> isNative;
        QList<qint64> values; // never absent; read leniently
        bool operator==(const TemperatureRange&) const = default;
    };
    std::optional<QMap<QString, TemperatureRange>> temperatures; // keyed by "C" / "F"
    std::optional<QStringList> fanLevels;
    std::optional<QStringList> swing;
    std::optional<QStringList> horizontalSwing;
    std::optional<QStringList> light;
    bool operator==(const ModeCapabilities&) const = default;
};

struct RemoteCapabilities {
    std::optional<QMap<QString, ModeCapabilities>> modes;
    bool operator==(const RemoteCapabilities&) const = default;
};

struct PodTimer {
    std::optional<bool> isEnabled;
    std::optional<ACState> acState; // the state the unit takes when the timer fires
    std::optional<qint64> targetTimeSecondsFromNow;
    std::optional<QDateTime> fireDate; // not in JSON: decode time + targetTimeSecondsFromNow

    // Enabled (or not saying), with a fire date later than `now`.
    bool isPending(const QDateTime& now) const;
    bool operator==(const PodTimer&) const = default;
};

// Climate React: the service's own rule that keeps a room between two thresholds, setting one
// state when the reading falls below the low one and another when it rises above the high one.
struct ClimateReact {
    std::optional<bool> enabled;
    std::optional<QString> type; // the reading compared: "temperature", "feelsLike", …
    std::optional<double> lowTemperatureThreshold; // degrees Celsius
    std::optional<double> highTemperatureThreshold;
    std::optional<ACState> lowTemperatureState;
    std::optional<ACState> highTemperatureState;

    bool isEnabled() const { return enabled == true; }
    bool operator==(const ClimateReact&) const = default;
};

// The service's count of the unit's running time since its filter was last cleaned.
struct FiltersCleaning {
    std::optional<bool> shouldCleanFilters;
    std::optional<qint64> acOnSecondsSinceLastFiltersClean;
    std::optional<TimeStamp> lastFiltersCleanTime;
    bool operator==(const FiltersCleaning&) const = default;
};

struct History {
    struct Point {
        QDateTime time;
        double value = 0;
        bool operator==(const Point&) const = default;
    };
    QList<Point> temperature; // never absent
    QList<Point> humidity;    // never absent
    bool operator==(const History&) const = default;
};

struct Pod {
    struct Room {
        std::optional<QString> name;
        std::optional<QString> icon;
        bool operator==(const Room&) const = default;
    };
    struct ConnectionStatus {
        std::optional<bool> isAlive;
        std::optional<TimeStamp> lastSeen;
        bool operator==(const ConnectionStatus&) const = default;
    };
    // The record the key check asks for.
    struct IDOnly {
        std::optional<QString> id;
        bool operator==(const IDOnly&) const = default;
    };

    QString id; // required
    std::optional<Room> room;
    std::optional<ACState> acState;
    std::optional<Measurements> measurements;
    std::optional<ConnectionStatus> connectionStatus;
    std::optional<RemoteCapabilities> remoteCapabilities; // only in a full listing
    std::optional<QString> productModel;                  // only in a full listing
    std::optional<PodTimer> timer;
    std::optional<ClimateReact> smartMode;
    std::optional<FiltersCleaning> filtersCleaning; // only in a full listing

    // Mode names: cool, heat, fan, dry, auto (those present, in that order), then the rest sorted.
    QStringList modes() const;
    // Capabilities of `mode`, or of the current mode when `mode` is absent.
    std::optional<ModeCapabilities> capabilities(const std::optional<QString>& mode = {}) const;
    // Allowed target temperatures for the state's mode and unit (absent unit counts as "C").
    QList<qint64> temperatures(const ACState& state) const;
    // Fan levels of the current mode, from "auto" up to "strong", unknown levels last.
    QStringList fanLevels() const;
    // Display name of the product model ("Sky", "Air Pro", "Elements", "Air", "Sensibo", ...).
    QString model() const;
    // The room name, or "Sensibo " and the first four characters of the id.
    QString displayName() const;
    // The room's temperature in degrees Celsius, when the unit measured one.
    std::optional<double> roomTemperature() const {
        return measurements ? measurements->temperature : std::nullopt;
    }
    // Whether the unit has a state and it is on.
    bool isOn() const { return acState && acState->isOn(); }
    // Whether the service says the unit cannot be reached; an unknown connection is not offline.
    bool isKnownOffline() const { return connectionStatus && connectionStatus->isAlive == false; }
    // Whether the service says the filter is due for a cleaning.
    bool isFilterDue() const {
        return filtersCleaning && filtersCleaning->shouldCleanFilters == true;
    }

    bool operator==(const Pod&) const = default;
};

namespace ACMode {
QString title(const QString& mode);
QString symbol(const QString& mode); // a symbol name, drawn by the views' icon set
} // namespace ACMode

namespace Swing {
// The fixed positions from top to bottom that occur in `list`.
QStringList positions(const QStringList& list);
QString title(const std::optional<QString>& setting);
// The vane's direction from top (0) to bottom (1); absent while the vane sweeps.
std::optional<double> aim(const std::optional<QString>& setting);
// The generic title of any setting, also the card's short swing label.
QString genericTitle(const std::optional<QString>& setting);
} // namespace Swing

namespace Sideways {
// The title of a sideways swing setting: "Left", "Center", "Swing", "Hold", …
QString title(const std::optional<QString>& setting);
// A symbol name: an arrow towards where the air goes, a double arrow while it sweeps.
QString symbol(const std::optional<QString>& setting);
// The fixed positions from left to right that occur in `list`.
QStringList positions(const QStringList& list);
} // namespace Sideways
