#include "client/records.h"

#include <QTest>

namespace {

using Text = std::optional<QString>;

ModeCapabilities mode(const QStringList& fanLevels, const QList<qint64>& celsius = {}) {
    ModeCapabilities capabilities;
    capabilities.fanLevels = fanLevels;
    capabilities.temperatures = QMap<QString, ModeCapabilities::TemperatureRange>{
        {"C", {true, celsius}}, {"F", {false, {64, 66}}}};
    return capabilities;
}

Pod pod(const QMap<QString, ModeCapabilities>& modes = {}, Text current = {}) {
    Pod pod;
    pod.id = "11AAbb22";
    if (!modes.isEmpty())
        pod.remoteCapabilities = RemoteCapabilities{modes};
    pod.acState = ACState{};
    pod.acState->mode = std::move(current);
    return pod;
}

} // namespace

class RecordsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void modesPutTheKnownOnesFirst() {
        QMap<QString, ModeCapabilities> modes;
        for (const QString key : {"heat", "aux", "Cool", "fan", "dry_plus", "cool"})
            modes.insert(key, {});
        QCOMPARE(pod(modes).modes(),
                 QStringList({"cool", "heat", "fan", "Cool", "aux", "dry_plus"}));
    }

    void capabilitiesAndTemperaturesFollowTheMode() {
        const Pod heating = pod({{"cool", mode({"low"}, {18, 19})},
                                 {"heat", mode({"high"}, {17})},
                                 {"fan", ModeCapabilities{}}},
                                "heat");
        QCOMPARE(heating.capabilities(), mode({"high"}, {17}));
        QCOMPARE(heating.capabilities("cool"), mode({"low"}, {18, 19}));
        QCOMPARE(heating.capabilities("dry"), std::nullopt);

        const auto degrees = [&heating](const Text& mode, const Text& unit) {
            return heating.temperatures({{}, mode, {}, unit, {}, {}, {}, {}});
        };
        QCOMPARE(degrees({}, {}), QList<qint64>{17}); // the pod's mode, unit C
        QCOMPARE(degrees("cool", {}), (QList<qint64>{18, 19}));
        QCOMPARE(degrees("cool", "F"), (QList<qint64>{64, 66}));
        QCOMPARE(degrees("fan", "F"), QList<qint64>{});
    }

    void fanLevelsAreRankedStably() {
        QStringList unknown; // long enough that an unstable sort would reorder them
        for (int i = 0; i < 24; ++i)
            unknown.append(QString("level%1").arg((i * 7) % 24));
        const QMap<QString, ModeCapabilities> modes{
            {"cool", mode(unknown + QStringList{"high", "low", "auto"})}, {"fan", mode({"x"})}};
        QCOMPARE(pod(modes, "cool").fanLevels(), QStringList({"auto", "low", "high"}) + unknown);
        QCOMPARE(pod(modes, "dry").fanLevels(), QStringList{});
    }

    void modelNames() {
        Pod unit = pod();
        QCOMPARE(unit.model(), "Sensibo");
        unit.productModel = "AirQ"; // prefixes are matched without regard to case
        QCOMPARE(unit.model(), "Air Pro");
    }
};

QTEST_GUILESS_MAIN(RecordsTest)
#include "tst_records.moc"
