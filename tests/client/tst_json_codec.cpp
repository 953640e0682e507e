#include "client/json_codec.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <limits>

namespace {

using Integer = std::optional<qint64>;

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

ACState switched(std::optional<bool> on, Integer targetTemperature = {}) {
    ACState state;
    state.on = on;
    state.targetTemperature = targetTemperature;
    return state;
}

} // namespace

class JsonCodecTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void missingAndNullLeaveMembersAbsent();
    void wrongTypesFailNamingTheirPlace_data();
    void wrongTypesFailNamingTheirPlace();
    void integersMustBeWhole_data();
    void integersMustBeWhole();
    void targetTemperatureIsLenient_data();
    void targetTemperatureIsLenient();
    void temperatureValuesAreLenient();
    void timerFireDateFollowsTheDecodeTime();
    void historyListsAreNeverAbsent();
    void serviceDates_data();
    void serviceDates();
    void badServiceDates_data();
    void badServiceDates();
    void stateEncodesInMemberOrder_data();
    void stateEncodesInMemberOrder();
    void textIsEscaped();
    void realFullListing();
};

void JsonCodecTest::missingAndNullLeaveMembersAbsent() {
    Pod onlyId;
    onlyId.id = "a1";
    QCOMPARE(decode<Pod>(R"({"id":"a1","unknownKey":[1,2],"room":null,"timer":null})"), onlyId);
    const Pod pod = decode<Pod>(R"({"id":"a","acState":{"on":null,"mode":"cool","light":null},
        "measurements":{"temperature":21.5,"co2":null},
        "connectionStatus":{"isAlive":true,"lastSeen":{"time":"x"}},
        "remoteCapabilities":{"modes":{"fan":{"fanLevels":null,"temperatures":{}}}}})");
    ACState state;
    state.mode = "cool";
    QCOMPARE(pod.acState, state);
    QCOMPARE(pod.measurements, (Measurements{21.5, {}, {}, {}, {}, {}, {}}));
    QCOMPARE(pod.connectionStatus, (Pod::ConnectionStatus{true, TimeStamp{"x", {}}}));
    const auto fan = pod.capabilities("fan");
    QCOMPARE(fan->temperatures, (QMap<QString, ModeCapabilities::TemperatureRange>{}));
    QCOMPARE(fan->fanLevels, std::nullopt);
    QCOMPARE(decode<QList<Pod::IDOnly>>(R"([{"id":"a"},{}])"), (QList<Pod::IDOnly>{{"a"}, {}}));
}

void JsonCodecTest::wrongTypesFailNamingTheirPlace_data() {
    QTest::addColumn<QByteArray>("pods");
    QTest::addColumn<QString>("error");
    const auto row = [](const char* name, const char* pods, const char* error) {
        QTest::newRow(name) << QByteArray(pods) << QString(error);
    };
    row("no id", R"([{"id":"a"},{"room":{}}])", "result[1].id: missing");
    row("null id", R"([{"id":null}])", "result[0].id: expected a string, found null");
    row("mode", R"([{"id":"a"},{"id":"b","acState":{"mode":1}}])",
        "result[1].acState.mode: expected a string, found a number");
    row("on", R"([{"id":"a","acState":{"on":"true"}}])",
        "result[0].acState.on: expected a boolean, found a string");
    row("room", R"([{"id":"a","room":"Hall"}])",
        "result[0].room: expected an object, found a string");
    row("reading", R"([{"id":"a","measurements":{"humidity":"40"}}])",
        "result[0].measurements.humidity: expected a number, found a string");
    row("seconds ago", R"([{"id":"a","connectionStatus":{"lastSeen":{"secondsAgo":[]}}}])",
        "result[0].connectionStatus.lastSeen.secondsAgo: expected an integer, found an array");
    row("fan level",
        R"([{"id":"a","remoteCapabilities":{"modes":{"cool":{"fanLevels":["a",2]}}}}])",
        "result[0].remoteCapabilities.modes.cool.fanLevels[1]: expected a string, found a number");
    row("isNative",
        R"([{"id":"a","remoteCapabilities":{"modes":{"cool":{"temperatures":{"C":{"isNative":1}}}}}}])",
        "result[0].remoteCapabilities.modes.cool.temperatures.C.isNative: expected a boolean, "
        "found a number");
    row("timer", R"([{"id":"a","timer":{"acState":{"swing":false}}}])",
        "result[0].timer.acState.swing: expected a string, found a boolean");
    row("not a list", R"({"id":"a"})", "result: expected an array, found an object");
}

void JsonCodecTest::wrongTypesFailNamingTheirPlace() {
    QFETCH(QByteArray, pods);
    QFETCH(QString, error);
    QCOMPARE(failure<QList<Pod>>(pods), error);
}

void JsonCodecTest::integersMustBeWhole_data() {
    QTest::addColumn<QByteArray>("number");
    QTest::addColumn<Integer>("expected");
    QTest::newRow("integer") << QByteArray("-22530017") << Integer(-22530017);
    QTest::newRow("whole fraction") << QByteArray("22.0") << Integer(22);
    QTest::newRow("largest") << QByteArray("9223372036854775807")
                             << Integer(std::numeric_limits<qint64>::max());
    QTest::newRow("fraction") << QByteArray("22.5") << Integer();
    QTest::newRow("too large") << QByteArray("9223372036854775808") << Integer();
    QTest::newRow("far too large") << QByteArray("-1e300") << Integer();
}

void JsonCodecTest::integersMustBeWhole() {
    QFETCH(QByteArray, number);
    QFETCH(Integer, expected);
    const QByteArray stamp = R"({"secondsAgo":)" + number + "}";
    if (expected)
        QCOMPARE(decode<TimeStamp>(stamp).secondsAgo, expected);
    else
        QCOMPARE(failure<TimeStamp>(stamp), "result.secondsAgo: expected an integer, found a "
                                            "number that is not a 64-bit integer");
}

void JsonCodecTest::targetTemperatureIsLenient_data() {
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<Integer>("expected");
    for (const auto& [text, expected] : std::initializer_list<std::pair<const char*, Integer>>{
             {"24", 24},
             {"23.5", 24},
             {"22.5", 23},
             {"22.49", 22},
             {"-0.5", -1},
             {"-22.5", -23},
             {"\"24\"", {}},
             {"null", {}},
             {"true", {}},
             {"-9223372036854775808", std::numeric_limits<qint64>::min()},
             {"9223372036854775808", {}},
             {"1e300", {}}})
        QTest::newRow(text) << json(text) << expected;
    // Values that text JSON cannot carry but a QJsonValue can.
    QTest::newRow("infinity") << QJsonValue(std::numeric_limits<double>::infinity()) << Integer();
    QTest::newRow("NaN") << QJsonValue(std::numeric_limits<double>::quiet_NaN()) << Integer();
}

void JsonCodecTest::targetTemperatureIsLenient() {
    QFETCH(QJsonValue, value);
    QFETCH(Integer, expected);
    const auto state =
        decodeJson<ACState>(QJsonObject{{"mode", "heat"}, {"targetTemperature", value}}, context);
    QCOMPARE(state.targetTemperature, expected);
    QCOMPARE(state.mode, "heat");
}

void JsonCodecTest::temperatureValuesAreLenient() {
    using Range = ModeCapabilities::TemperatureRange;
    QCOMPARE(decode<Range>(R"({"values":[16,16.5,30,-1.5],"isNative":true})"),
             (Range{true, {16, 17, 30, -2}}));
    for (const char* range :
         {"{}", R"({"values":null})", R"({"values":"x"})", R"({"values":[16,"17"]})"})
        QCOMPARE(decode<Range>(range), Range{});
    const double infinity = std::numeric_limits<double>::infinity();
    QCOMPARE(decodeJson<Range>(QJsonObject{{"values", QJsonArray{infinity, 1e300, 20}}}, context),
             (Range{{}, {20}}));
}

void JsonCodecTest::timerFireDateFollowsTheDecodeTime() {
    const auto timer = decode<PodTimer>(R"({"isEnabled":true,"targetTimeSecondsFromNow":600,
        "acState":{"on":false}})");
    QCOMPARE(timer, (PodTimer{true, switched(false), 600, decodeTime.addSecs(600)}));
    const DecodeContext later{decodeTime.addSecs(5), "result"};
    QCOMPARE(decodeJson<PodTimer>(json(R"({"targetTimeSecondsFromNow":-60})"), later).fireDate,
             decodeTime.addSecs(-55));
    QCOMPARE(decode<PodTimer>(R"({"isEnabled":true})").fireDate, std::nullopt);
    QCOMPARE(decode<PodTimer>(R"({"targetTimeSecondsFromNow":9223372036854775807})").fireDate,
             std::nullopt);
}

void JsonCodecTest::historyListsAreNeverAbsent() {
    const auto history = decode<History>(R"({"temperature":[
        {"time":"2024-12-08T16:00:00Z","value":20.5},{"time":"2024-12-08T16:05:00","value":21}]})");
    QCOMPARE(history.temperature,
             (QList<History::Point>{{QDateTime(QDate(2024, 12, 8), QTime(16, 0), Qt::UTC), 20.5},
                                    {QDateTime(QDate(2024, 12, 8), QTime(16, 5), Qt::UTC), 21}}));
    QCOMPARE(history.humidity, QList<History::Point>{});
    QCOMPARE(decode<History>(R"({"temperature":null})"), History{});
    QCOMPARE(failure<History>(R"({"humidity":"x"})"),
             "result.humidity: expected an array, found a string");
    QCOMPARE(failure<History>(R"({"humidity":[{"value":40}]})"),
             "result.humidity[0].time: missing");
    QCOMPARE(failure<History>(R"({"humidity":[{"time":"2024-12-08T16:00:00Z"}]})"),
             "result.humidity[0].value: missing");
    QCOMPARE(failure<History>(R"({"humidity":[{"time":"yesterday","value":1}]})"),
             "result.humidity[0].time: Bad date yesterday");
}

void JsonCodecTest::serviceDates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected");
    const auto row = [](const char* text, QDate date, QTime time) {
        QTest::newRow(text) << QString(text) << QDateTime(date, time, Qt::UTC);
    };
    const QDate day(2024, 12, 8);
    row("2024-12-08T17:17:01.431520Z", day, QTime(17, 17, 1, 431));
    row("2024-12-08T17:17:01.4Z", day, QTime(17, 17, 1, 400));
    row("2024-12-08T17:17:01.25-05:30", day, QTime(22, 47, 1, 250));
    row("2024-12-08T17:17:01+02:00", day, QTime(15, 17, 1));
    row("2024-12-08T01:00:00+02:00", QDate(2024, 12, 7), QTime(23, 0));
    row("2024-12-08T06:26:53Z", day, QTime(6, 26, 53));
    row("2024-03-22T22:36:44", QDate(2024, 3, 22), QTime(22, 36, 44)); // no zone: UTC
    row("2024-02-29T00:00:00Z", QDate(2024, 2, 29), QTime(0, 0));
}

void JsonCodecTest::serviceDates() {
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    const QDateTime date = decodeServiceDate(text, {});
    QCOMPARE(date, expected);
    QCOMPARE(date.timeSpec(), Qt::UTC);
}

void JsonCodecTest::badServiceDates_data() {
    QTest::addColumn<QString>("text");
    for (const char* text :
         {"", "garbage", "2024-05-01", "2024-12-08T17:17Z", "2024-12-08 17:17:01Z",
          "2024-12-08t17:17:01z", "2024-12-08T17:17:01.431520", "2024-12-08T17:17:01.Z",
          "2024-12-08T17:17:01+0200", "2024-12-08T17:17:01+02", "2024-13-01T00:00:00Z",
          "2023-02-29T00:00:00Z", "2024-12-08T24:00:00Z", "2024-12-08T17:17:01+24:00",
          "2024-12-08T17:17:01Z ", "20241208T171701Z", "２０２４-12-08T17:17:01Z"})
        QTest::newRow(text) << QString(text);
}

void JsonCodecTest::badServiceDates() {
    QFETCH(QString, text);
    try {
        decodeServiceDate(text, DecodeContext{{}, "result.time"});
        QFAIL("decoded");
    } catch (const DecodeError& error) {
        QCOMPARE(QString::fromStdString(error.what()), "result.time: Bad date " + text);
    }
    QVERIFY_THROWS_EXCEPTION(DecodeError, decodeServiceDate(QJsonValue(1733678221), {}));
}

void JsonCodecTest::stateEncodesInMemberOrder_data() {
    QTest::addColumn<ACState>("state");
    QTest::addColumn<QByteArray>("encoded");
    ACState lateMembers;
    lateMembers.swing = "stopped";
    lateMembers.light = "on";
    QTest::newRow("empty") << ACState{} << QByteArray("{}");
    QTest::newRow("two") << switched(true, 22)
                         << QByteArray(R"({"on":true,"targetTemperature":22})");
    QTest::newRow("late members") << lateMembers
                                  << QByteArray(R"({"swing":"stopped","light":"on"})");
    QTest::newRow("all")
        << ACState{false, "cool", -3, "F", "medium_high", "fixedTop", "rangeFull", "off"}
        << QByteArray(R"({"on":false,"mode":"cool","targetTemperature":-3,)"
                      R"("temperatureUnit":"F","fanLevel":"medium_high",)"
                      R"("swing":"fixedTop","horizontalSwing":"rangeFull","light":"off"})");
}

void JsonCodecTest::stateEncodesInMemberOrder() {
    QFETCH(ACState, state);
    QFETCH(QByteArray, encoded);
    QCOMPARE(encodeJson(state), encoded);
    QCOMPARE(decodeJson<ACState>(QJsonDocument::fromJson(encoded).object(), context), state);
    QCOMPARE(encodeJsonObject({{"minutesFromNow", "30"}, {"acState", encodeJson(state)}}),
             R"({"minutesFromNow":30,"acState":)" + encoded + "}");
}

void JsonCodecTest::textIsEscaped() {
    const QString text = QString::fromUtf8("a\"b\\c/d\n\t\r\b\f\x01\x1f\x7f é ❄ 🌡");
    QCOMPARE(encodeJsonString(text),
             QByteArray("\"a\\\"b\\\\c/d\\n\\t\\r\\b\\f\\u0001\\u001f\x7f") +
                 QString::fromUtf8(" é ❄ 🌡").toUtf8() + '"');
    ACState state;
    state.mode = text;
    const QByteArray encoded = encodeJson(state);
    QCOMPARE(decodeJson<ACState>(QJsonDocument::fromJson(encoded).object(), context).mode, text);
    QCOMPARE(encodeJsonObject({{"a\"", "null"}}), R"({"a\"":null})");
}

void JsonCodecTest::realFullListing() {
    QFile file(qEnvironmentVariable("ALVORE_TEST_DATA") + "/real-pods-full.json");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject envelope = QJsonDocument::fromJson(file.readAll()).object();
    const auto pods = decodeJson<QList<Pod>>(envelope.value("result"), context);
    QCOMPARE(pods.size(), 3);
    const Pod& hall = pods[0];
    QCOMPARE(hall.displayName(), "Hall");
    QCOMPARE(hall.model(), "Sky");
    QCOMPARE(hall.acState, (ACState{false, "heat", 24, "C", "high", "stopped", "stopped", "on"}));
    QCOMPARE(hall.connectionStatus->lastSeen, (TimeStamp{"2024-12-08T17:16:13.197465Z", 47}));
    QCOMPARE(hall.modes(), QStringList({"cool", "heat", "fan", "dry", "auto"}));
    QCOMPARE(hall.fanLevels(),
             QStringList({"auto", "quiet", "low", "medium", "medium_high", "high", "strong"}));
    const QList<qint64> heatCelsius = hall.temperatures(*hall.acState);
    QCOMPARE(heatCelsius.size(), 14);
    QCOMPARE(heatCelsius.front(), 17);
    QCOMPARE(hall.capabilities()->temperatures->value("F").isNative, false);
    QCOMPARE(hall.capabilities("dry")->fanLevels, std::nullopt);
    QCOMPARE(hall.timer->isEnabled, false);
    QCOMPARE(hall.timer->fireDate, decodeTime.addSecs(-22530017));
    QVERIFY(!hall.timer->isPending(decodeTime));

    const Pod& pure = pods[1];
    QCOMPARE(pure.model(), "Elements");
    QCOMPARE(pure.fanLevels(), QStringList({"low", "high"}));
    QCOMPARE(pure.measurements->pm25, 1.0);
    QCOMPARE(pure.measurements->temperature, std::nullopt);
    QCOMPARE(pure.timer, std::nullopt);

    const Pod& offline = pods[2];
    QCOMPARE(offline.displayName(), "Air Pro");
    QCOMPARE(offline.model(), "Elements");
    QCOMPARE(offline.connectionStatus->isAlive, false);
    QCOMPARE(offline.measurements->co2, 432.0);
    QCOMPARE(offline.measurements->tvoc, 61.0);
}

QTEST_GUILESS_MAIN(JsonCodecTest)
#include "tst_json_codec.moc"
