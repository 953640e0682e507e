#include "client/json_codec.h"

QByteArray encodeJsonString(const QString& text) {
    QByteArray json;
    json.reserve(text.size() + 2);
    json.append('"');
    for (const char byte : text.toUtf8()) {
        switch (byte) {
        case '"':
            json.append("\\\"");
            break;
        case '\\':
            json.append("\\\\");
            break;
        case '\b':
            json.append("\\b");
            break;
        case '\f':
            json.append("\\f");
            break;
        case '\n':
            json.append("\\n");
            break;
        case '\r':
            json.append("\\r");
            break;
        case '\t':
            json.append("\\t");
            break;
        default:
            if (static_cast<unsigned char>(byte) < 0x20)
                json.append("\\u00").append(QByteArray::number(static_cast<unsigned char>(byte), 16)
                                                .rightJustified(2, '0'));
            else
                json.append(byte);
        }
    }
    json.append('"');
    return json;
}

QByteArray encodeJsonObject(const QList<std::pair<QString, QByteArray>>& membersAsJson) {
    QByteArray json("{");
    for (const auto& [key, member] : membersAsJson) {
        if (json.size() > 1)
            json.append(',');
        json.append(encodeJsonString(key)).append(':').append(member);
    }
    json.append('}');
    return json;
}

QByteArray encodeJson(const ACState& state) {
    QList<std::pair<QString, QByteArray>> members;
    const auto add = [&](const char* key, const auto& value, auto encode) {
        if (value)
            members.emplaceBack(key, encode(*value));
    };
    const auto boolean = [](bool value) { return QByteArray(value ? "true" : "false"); };
    const auto integer = [](qint64 value) { return QByteArray::number(value); };
    add("on", state.on, boolean);
    add("mode", state.mode, encodeJsonString);
    add("targetTemperature", state.targetTemperature, integer);
    add("temperatureUnit", state.temperatureUnit, encodeJsonString);
    add("fanLevel", state.fanLevel, encodeJsonString);
    add("swing", state.swing, encodeJsonString);
    add("horizontalSwing", state.horizontalSwing, encodeJsonString);
    add("light", state.light, encodeJsonString);
    return encodeJsonObject(members);
}
