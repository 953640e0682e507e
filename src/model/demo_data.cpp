#include "model/demo_data.h"

#include <cmath>
#include <numbers>

namespace DemoData {

RemoteCapabilities caps(bool heat) {
    ModeCapabilities::TemperatureRange range{true, {}};
    for (qint64 degrees = 16; degrees <= 30; ++degrees)
        range.values.append(degrees);
    const QMap<QString, ModeCapabilities::TemperatureRange> celsius{{"C", range}};
    const QStringList fans{"quiet", "low", "medium", "high", "auto"};
    const QStringList swing{"stopped",           "fixedTop",    "fixedMiddleTop", "fixedMiddle",
                            "fixedMiddleBottom", "fixedBottom", "rangeFull"};

    QMap<QString, ModeCapabilities> modes{
        {"cool", {celsius, fans, swing, {}, {}}},
        {"fan", {{}, QStringList{"low", "medium", "high"}, swing, {}, {}}},
        {"dry", {celsius, QStringList{"low"}, swing, {}, {}}},
        {"auto", {celsius, fans, swing, {}, {}}},
    };
    if (heat)
        modes.insert("heat", {celsius, fans, swing, {}, {}});
    return {modes};
}

namespace {
struct Unit {
    QString id;
    QString room;
    ACState state;
    Measurements measurements;
    bool alive;
    bool heat;
    QString model;
};

Pod pod(const Unit& unit) {
    Pod pod;
    pod.id = unit.id;
    pod.room = Pod::Room{unit.room, {}};
    pod.acState = unit.state;
    pod.measurements = unit.measurements;
    pod.connectionStatus = Pod::ConnectionStatus{unit.alive, {}};
    pod.remoteCapabilities = caps(unit.heat);
    pod.productModel = unit.model;
    return pod;
}

TimeStamp secondsAgo(qint64 seconds) {
    return {{}, seconds};
}
} // namespace

QList<Pod> pods(const QDateTime& now) {
    Pod bedroom = pod({"demo1",
                       "Bedroom",
                       {true, "cool", 22, "C", "auto", "stopped", "fixedCenter", "on"},
                       {24.6, 58, {}, {}, {}, {}, secondsAgo(40)},
                       true,
                       true,
                       "skyv2"});
    // The bedroom's unit also swings sideways and has a display light, in every mode.
    for (ModeCapabilities& mode : *bedroom.remoteCapabilities->modes) {
        mode.horizontalSwing = {"stopped", "fixedLeft", "fixedCenter", "fixedRight", "rangeFull"};
        mode.light = {"on", "off", "dim"};
    }
    ACState off;
    off.on = false;
    bedroom.timer = PodTimer{true, off, {}, now.addSecs(2530)};
    Pod office = pod({"demo2",
                      "Office",
                      {false, "cool", 23, "C", "low", "rangeFull", {}, {}},
                      {26.1, 49, 26.8, 612, 140, {}, secondsAgo(70)},
                      true,
                      true,
                      "airq"});
    // A fixed date: the reminder stays the same one from run to run, told once.
    const QDateTime cleaned = QDateTime::fromString("2026-03-02T09:15:00Z", Qt::ISODate);
    office.filtersCleaning =
        FiltersCleaning{true, 1'296'000, TimeStamp{"2026-03-02T09:15:00Z", cleaned.secsTo(now)}};
    // Climate React as owners set it up: between 15° and 29° by feel, heating or cooling to 24.
    bedroom.smartMode = ClimateReact{true,
                                     "feelsLike",
                                     15,
                                     29,
                                     ACState{true, "heat", 24, "C", "auto", {}, {}, {}},
                                     ACState{true, "cool", 24, "C", "auto", {}, {}, {}}};
    return {
        bedroom,
        office,
        pod({"demo3",
             "Living Room",
             {false, "fan", {}, "C", "medium", {}, {}, {}},
             {25.2, 61, {}, {}, {}, {}, secondsAgo(3600)},
             false,
             false,
             "skyplus"}),
    };
}

History history(double base, const QDateTime& now) {
    History history;
    for (int i = 0; i < 96; ++i) {
        const double t = i / 96.0;
        const QDateTime time = now.addSecs(i * 900 - 86'400);
        const double angle = 2 * std::numbers::pi * t;
        history.temperature.append(
            {time, base + 2.2 * std::sin(angle - 1.2) + 0.3 * std::sin(40 * t)});
        history.humidity.append({time, 55 + 6 * std::cos(angle)});
    }
    return history;
}

} // namespace DemoData
