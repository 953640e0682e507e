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
    void modesPutTheKnownOnesFirst_data();
    void modesPutTheKnownOnesFirst();
    void capabilitiesAndTemperaturesFollowTheMode();
    void fanLevelsAreRankedStably_data();
    void fanLevelsAreRankedStably();
    void modelNames_data();
    void modelNames();
    void displayName();
    void timerIsPending();
    void modeTitlesAndSymbols_data();
    void modeTitlesAndSymbols();
    void swingTitlesAndAims_data();
    void swingTitlesAndAims();
    void swingPositionsKeepTheFixedOrder();
};

void RecordsTest::modesPutTheKnownOnesFirst_data() {
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("others sorted after") << QStringList{"heat", "aux", "cool", "dry_plus"}
                                         << QStringList{"cool", "heat", "aux", "dry_plus"};
    QTest::newRow("all known") << QStringList{"auto", "dry", "fan", "heat", "cool"}
                               << QStringList{"cool", "heat", "fan", "dry", "auto"};
    QTest::newRow("case matters") << QStringList{"Cool", "fan", "Auto"}
                                  << QStringList{"fan", "Auto", "Cool"};
    QTest::newRow("no capabilities") << QStringList{} << QStringList{};
}

void RecordsTest::modesPutTheKnownOnesFirst() {
    QFETCH(QStringList, keys);
    QFETCH(QStringList, expected);
    QMap<QString, ModeCapabilities> modes;
    for (const QString& key : keys)
        modes.insert(key, {});
    QCOMPARE(pod(modes).modes(), expected);
}

void RecordsTest::capabilitiesAndTemperaturesFollowTheMode() {
    const Pod heating = pod({{"cool", mode({"low"}, {18, 19})},
                             {"heat", mode({"high"}, {17})},
                             {"fan", ModeCapabilities{}}},
                            "heat");
    QCOMPARE(heating.capabilities(), mode({"high"}, {17}));
    QCOMPARE(heating.capabilities("cool"), mode({"low"}, {18, 19}));
    QCOMPARE(heating.capabilities("dry"), std::nullopt);
    QCOMPARE(pod({{"cool", {}}}).capabilities(), std::nullopt);
    QCOMPARE(pod().capabilities("cool"), std::nullopt);

    ACState state;
    QCOMPARE(heating.temperatures(state), QList<qint64>{17}); // the pod's mode, unit C
    state.mode = "cool";
    QCOMPARE(heating.temperatures(state), (QList<qint64>{18, 19}));
    state.temperatureUnit = "F";
    QCOMPARE(heating.temperatures(state), (QList<qint64>{64, 66}));
    state.temperatureUnit = "K";
    QCOMPARE(heating.temperatures(state), QList<qint64>{});
    state.mode = "fan";
    QCOMPARE(heating.temperatures(state), QList<qint64>{});
    state.mode = "dry";
    QCOMPARE(heating.temperatures(state), QList<qint64>{});
}

void RecordsTest::fanLevelsAreRankedStably_data() {
    QTest::addColumn<QStringList>("levels");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("unknown last") << QStringList{"high", "turbo", "auto", "low", "ultra"}
                                  << QStringList{"auto", "low", "high", "turbo", "ultra"};
    QTest::newRow("full scale") << QStringList{"strong",     "high", "medium_high", "medium",
                                               "medium_low", "low",  "quiet",       "auto"}
                                << QStringList{"auto",   "quiet",       "low",  "medium_low",
                                               "medium", "medium_high", "high", "strong"};
    QStringList many; // long enough that an unstable sort would reorder the unknown levels
    for (int i = 0; i < 24; ++i)
        many.append(QString("level%1").arg((i * 7) % 24));
    QTest::newRow("many unknown") << (many + QStringList{"low", "auto"})
                                  << (QStringList{"auto", "low"} + many);
}

void RecordsTest::fanLevelsAreRankedStably() {
    QFETCH(QStringList, levels);
    QFETCH(QStringList, expected);
    const QMap<QString, ModeCapabilities> modes{{"cool", mode(levels)}, {"fan", mode({"x"})}};
    QCOMPARE(pod(modes, "cool").fanLevels(), expected);
    QCOMPARE(pod(modes, "dry").fanLevels(), QStringList{});
}

void RecordsTest::modelNames_data() {
    QTest::addColumn<Text>("productModel");
    QTest::addColumn<QString>("expected");
    for (const auto& [model, name] :
         std::initializer_list<std::pair<Text, QString>>{{"skyplus", "Sky"},
                                                         {"AirQ", "Air Pro"},
                                                         {"airpro", "Air Pro"},
                                                         {"xPROx", "Air Pro"},
                                                         {"pure", "Elements"},
                                                         {"Elements", "Elements"},
                                                         {"air", "Air"},
                                                         {std::nullopt, "Sensibo"},
                                                         {"", "Sensibo"},
                                                         {"Nova", "nova"}})
        QTest::newRow(qPrintable(model.value_or("absent"))) << model << name;
}

void RecordsTest::modelNames() {
    QFETCH(Text, productModel);
    QFETCH(QString, expected);
    Pod unit = pod();
    unit.productModel = productModel;
    QCOMPARE(unit.model(), expected);
}

void RecordsTest::displayName() {
    Pod unit = pod();
    QCOMPARE(unit.displayName(), "Sensibo 11AA");
    unit.room = Pod::Room{{}, "Lounge"};
    QCOMPARE(unit.displayName(), "Sensibo 11AA");
    unit.room->name = "";
    QCOMPARE(unit.displayName(), "");
    unit.room->name = "Hall";
    QCOMPARE(unit.displayName(), "Hall");
    unit.room.reset();
    unit.id = "ab";
    QCOMPARE(unit.displayName(), "Sensibo ab");
}

void RecordsTest::timerIsPending() {
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
    const auto pending = [&](std::optional<bool> isEnabled, std::optional<qint64> fireIn) {
        return PodTimer{
            isEnabled, {}, {}, fireIn ? std::optional(now.addSecs(*fireIn)) : std::nullopt}
            .isPending(now);
    };
    QVERIFY(pending(true, 1));
    QVERIFY(pending(std::nullopt, 60));
    QVERIFY(!pending(false, 60));
    QVERIFY(!pending(true, 0));
    QVERIFY(!pending(true, -1));
    QVERIFY(!pending(true, std::nullopt));
}

void RecordsTest::modeTitlesAndSymbols_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("symbol");
    QTest::newRow("cool") << "cool"
                          << "Cool"
                          << "snowflake";
    QTest::newRow("heat") << "heat"
                          << "Heat"
                          << "sun.max.fill";
    QTest::newRow("fan") << "fan"
                         << "Fan"
                         << "fan.fill";
    QTest::newRow("dry") << "dry"
                         << "Dry"
                         << "drop.fill";
    QTest::newRow("auto") << "auto"
                          << "Auto"
                          << "arrow.triangle.2.circlepath";
    QTest::newRow("case-sensitive") << "COOL"
                                    << "Cool"
                                    << "circle.dotted";
    QTest::newRow("underscore joins") << "dry_plus"
                                      << "Dry_plus"
                                      << "circle.dotted";
    QTest::newRow("words") << "eCO  mODE\tx\nyz"
                           << "Eco  Mode\tX\nYz"
                           << "circle.dotted";
}

void RecordsTest::modeTitlesAndSymbols() {
    QFETCH(QString, mode);
    QFETCH(QString, title);
    QFETCH(QString, symbol);
    QCOMPARE(ACMode::title(mode), title);
    QCOMPARE(ACMode::symbol(mode), symbol);
}

void RecordsTest::swingTitlesAndAims_data() {
    QTest::addColumn<Text>("setting");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("genericTitle");
    QTest::addColumn<std::optional<double>>("aim");
    const auto row = [](Text setting, const char* title, QString generic,
                        std::optional<double> aim) {
        QTest::newRow(qPrintable(setting.value_or("absent")))
            << setting << QString(title) << generic << aim;
    };
    row(std::nullopt, "Fixed", QString(QChar(0x2013)), 0.5);
    row("rangeFull", "Swing", "Full", std::nullopt);
    row("rangeTop", "Range top", "Range top", std::nullopt);
    row("fixedTop", "Top", "Top", 0.0);
    row("fixedMiddleTop", "Upper", "Middle top", 0.25);
    row("fixedMiddle", "Middle", "Middle", 0.5);
    row("fixedMiddleBottom", "Lower", "Middle bottom", 0.75);
    row("fixedBottom", "Bottom", "Bottom", 1.0);
    row("stopped", "Hold", "Off", 0.5);
    row("fixedCenterLeft", "Center left", "Center left", 0.5);
    row("both_SIDES", "Both sides", "Both sides", 0.5);
    row("fixed", "", "", 0.5);
    row("éÉaB", "Ééa b", "Ééa b", 0.5); // only ASCII case changes split words
}

void RecordsTest::swingTitlesAndAims() {
    QFETCH(Text, setting);
    QFETCH(QString, title);
    QFETCH(QString, genericTitle);
    QFETCH(std::optional<double>, aim);
    QCOMPARE(Swing::title(setting), title);
    QCOMPARE(Swing::genericTitle(setting), genericTitle);
    QCOMPARE(Swing::aim(setting), aim);
}

void RecordsTest::swingPositionsKeepTheFixedOrder() {
    QCOMPARE(Swing::positions({"rangeFull", "fixedBottom", "stopped", "fixedTop", "fixedLeft",
                               "fixedMiddle", "fixedMiddleBottom", "fixedMiddleTop"}),
             QStringList({"fixedTop", "fixedMiddleTop", "fixedMiddle", "fixedMiddleBottom",
                          "fixedBottom"}));
}

QTEST_GUILESS_MAIN(RecordsTest)
#include "tst_records.moc"
