#include "client/json_codec.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <limits>

namespace {

using Integer = std::optional<qint64>;
using Text = std::optional<QString>;

const QDateTime decodeTime(QDate(2024, 12, 8), QTime(17, 17, 1), Qt::UTC);
const DecodeContext context{decodeTime, "result"};

// Any JSON value, written as text.
QJsonValue json(const QByteArray& text) {
    return QJsonDocument::fromJson("[" + text + "]").array().at(0);
}

template <class T> T decode(const QByteArray& text) {
    return decodeJson<T>(json(text), context);
}

// The description of the failure decoding `text` as T, or "" when it decodes.
template <class T> QString failure(const QByteArray& text) {
    try {
        decode<T>(text);
    } catch (const DecodeError& error) {
        return QString::fromStdString(error.what());
    }
    return {};
}

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

// Records: their JSON form, and what they tell of a unit.
class RecordsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void missingNullAndUnreadableLeaveMembersAbsent() {
        Pod onlyId;
        onlyId.id = "a1";
        QCOMPARE(decode<Pod>(R"({"id":"a1","unknownKey":[1,2],"room":null,"timer":null})"), onlyId);
        const Pod pod = decode<Pod>(R"({"id":"a","acState":{"on":null,"mode":"cool","light":null},
        "measurements":{"temperature":21.5,"co2":null}})");
        QCOMPARE(pod.acState, (ACState{{}, "cool", {}, {}, {}, {}, {}, {}}));
        QCOMPARE(pod.measurements, (Measurements{21.5, {}, {}, {}, {}, {}, {}}));
        // A unit's extras that cannot be read leave the unit and the listing standing.
        const auto pods = decode<QList<Pod>>(R"([{"id":"a","smartMode":{"enabled":"yes"},
        "filtersCleaning":[true],"acState":{"on":true}}])");
        QVERIFY(pods.size() == 1 && !pods[0].smartMode && !pods[0].filtersCleaning &&
                pods[0].isOn());
    }

    // A missing member is tst_request_pipeline's failedAnswers case.
    void wrongTypesFailNamingTheirPlace() {
        QCOMPARE(failure<QList<Pod>>(R"([{"id":"a"},{"id":"b","acState":{"mode":1}}])"),
                 "result[1].acState.mode: expected a string, found a number");
        QCOMPARE(failure<QList<Pod>>(R"({"id":"a"})"),
                 "result: expected an array, found an object");
        // Integers must be whole.
        QCOMPARE(decode<TimeStamp>(R"({"secondsAgo":22.0})").secondsAgo, 22);
        for (const QByteArray number : {"22.5", "9223372036854775808"})
            QCOMPARE(failure<TimeStamp>(R"({"secondsAgo":)" + number + "}"),
                     "result.secondsAgo: expected an integer, found a number that is not a 64-bit "
                     "integer");
    }

    void temperaturesAreLenient() {
        const auto target = [](const QJsonValue& value) {
            const auto state = decodeJson<ACState>(
                QJsonObject{{"mode", "heat"}, {"targetTemperature", value}}, context);
            return state.mode == "heat" ? state.targetTemperature : Integer(-999);
        };
        for (const auto& [text, expected] : std::initializer_list<std::pair<const char*, Integer>>{
                 {"22.5", 23}, {"-22.5", -23}, {"\"24\"", {}}, {"9223372036854775808", {}}})
            QCOMPARE(target(json(text)), expected);
        // A value that text JSON cannot carry but a QJsonValue can.
        const double infinity = std::numeric_limits<double>::infinity();
        QCOMPARE(target(infinity), Integer());
        // So are the values a mode offers.
        using Range = ModeCapabilities::TemperatureRange;
        QCOMPARE(decode<Range>(R"({"values":[16,16.5,30,-1.5],"isNative":true})"),
                 (Range{true, {16, 17, 30, -2}}));
        for (const char* range : {"{}", R"({"values":"x"})", R"({"values":[16,"17"]})"})
            QCOMPARE(decode<Range>(range), Range{});
        QCOMPARE(
            decodeJson<Range>(QJsonObject{{"values", QJsonArray{infinity, 1e300, 20}}}, context),
            (Range{{}, {20}}));
    }

    void timerFireDateFollowsTheDecodeTime() {
        const auto timer = decode<PodTimer>(R"({"isEnabled":true,"targetTimeSecondsFromNow":600,
        "acState":{"on":false}})");
        QCOMPARE(timer, (PodTimer{true, ACState{false, {}, {}, {}, {}, {}, {}, {}}, 600,
                                  decodeTime.addSecs(600)}));
        const DecodeContext later{decodeTime.addSecs(5), "result"};
        QCOMPARE(decodeJson<PodTimer>(json(R"({"targetTimeSecondsFromNow":-60})"), later).fireDate,
                 decodeTime.addSecs(-55));
        QCOMPARE(decode<PodTimer>(R"({"targetTimeSecondsFromNow":9223372036854775807})").fireDate,
                 std::nullopt);
    }

    void historyListsAreNeverAbsentDatesAreStrict() {
        QCOMPARE(decode<History>(R"({"temperature":null})"), History{});
        for (const QByteArray time :
             {"yesterday", "2024-05-01", "2024-12-08T17:17:01+0200", "2024-13-01T00:00:00Z"})
            QCOMPARE(failure<History>(R"({"humidity":[{"time":")" + time + R"(","value":1}]})"),
                     "result.humidity[0].time: Bad date " + time);
        QVERIFY(!failure<History>(R"({"humidity":[{"time":1733678221,"value":1}]})").isEmpty());
    }

    // A state inside another object is the timer's body in tst_request_pipeline's
    // eachOperationsRequest.
    void stateEncodesInMemberOrder() {
        ACState quoted;
        quoted.mode = "a\"b\\";
        for (const auto& [state, encoded] : std::initializer_list<std::pair<ACState, QByteArray>>{
                 {ACState{}, "{}"},
                 {ACState{true, {}, 22, {}, {}, {}, {}, {}},
                  R"({"on":true,"targetTemperature":22})"},
                 {quoted, "{\"mode\":\"a\\\"b\\\\\"}"},
                 {ACState{false, "cool", -3, "F", "medium_high", "fixedTop", "rangeFull", "off"},
                  R"({"on":false,"mode":"cool","targetTemperature":-3,"temperatureUnit":"F",)"
                  R"("fanLevel":"medium_high","swing":"fixedTop","horizontalSwing":"rangeFull",)"
                  R"("light":"off"})"}}) {
            QCOMPARE(encodeJson(state), encoded);
            QCOMPARE(decodeJson<ACState>(QJsonDocument::fromJson(encoded).object(), context),
                     state);
        }
    }

    void realFullListing() {
        QFile file(qEnvironmentVariable("ALVORE_TEST_DATA") + "/real-pods-full.json");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject envelope = QJsonDocument::fromJson(file.readAll()).object();
        const auto pods = decodeJson<QList<Pod>>(envelope.value("result"), context);
        QCOMPARE(pods.size(), 3);
        const Pod& hall = pods[0];
        QCOMPARE(
            std::tuple(hall.acState, hall.displayName(), hall.modes(),
                       hall.temperatures(*hall.acState).front(), hall.timer->fireDate,
                       pods[1].fanLevels(), pods[1].measurements->pm25, pods[2].isKnownOffline()),
            std::tuple(
                std::optional(ACState{false, "heat", 24, "C", "high", "stopped", "stopped", "on"}),
                QString("Hall"), QStringList{"cool", "heat", "fan", "dry", "auto"}, qint64(17),
                std::optional(decodeTime.addSecs(-22530017)), QStringList{"low", "high"},
                std::optional(1.0), true));

        const ClimateReact& react = hall.smartMode.value_or(ClimateReact{});
        QCOMPARE(std::tuple(react.enabled, react.type, react.lowTemperatureThreshold,
                            react.highTemperatureThreshold, react.lowTemperatureState->mode,
                            react.highTemperatureState->targetTemperature),
                 std::tuple(std::optional(false), std::optional<QString>("feelsLike"),
                            std::optional(15.0), std::optional(29.0),
                            std::optional<QString>("heat"), Integer(24)));
        // Hall's filter count and last cleaning are what tst_unit_card's filterChipEndsTheReminder
        // tells; the others are not due.
        QVERIFY(!pods[1].smartMode && !pods[1].isFilterDue() && !pods[2].isFilterDue() &&
                !pods[2].filtersCleaning->lastFiltersCleanTime);
    }

    void modesAndFanLevelsAreOrdered() {
        QMap<QString, ModeCapabilities> modes;
        for (const QString key : {"heat", "aux", "Cool", "fan", "dry_plus", "cool"})
            modes.insert(key, {});
        QCOMPARE(pod(modes).modes(),
                 QStringList({"cool", "heat", "fan", "Cool", "aux", "dry_plus"}));

        // Fan levels are ranked stably.
        QStringList unknown; // long enough that an unstable sort would reorder them
        for (int i = 0; i < 24; ++i)
            unknown.append(QString("level%1").arg((i * 7) % 24));
        const QMap<QString, ModeCapabilities> levels{
            {"cool", mode(unknown + QStringList{"high", "low", "auto"})}, {"fan", mode({"x"})}};
        QCOMPARE(pod(levels, "cool").fanLevels(), QStringList({"auto", "low", "high"}) + unknown);
        QCOMPARE(pod(levels, "dry").fanLevels(), QStringList{});
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
        // Without a mode or unit, the pod's mode in C.
        QCOMPARE((QList<QList<qint64>>{degrees({}, {}), degrees("cool", {}), degrees("cool", "F"),
                                       degrees("fan", "F")}),
                 (QList<QList<qint64>>{{17}, {18, 19}, {64, 66}, {}}));

        // The model is named from its product code.
        Pod unit = pod();
        QCOMPARE(unit.model(), "Sensibo");
        unit.productModel = "AirQ"; // prefixes are matched without regard to case
        QCOMPARE(unit.model(), "Air Pro");
    }
};

QTEST_GUILESS_MAIN(RecordsTest)
#include "tst_records.moc"
