#include "client/records.h"

#include <array>
#include <utility>

namespace {

// `text` with its first character (a whole code point) upper-cased and, when `lowerRest`, the
// remainder lower-cased.
QString upperFirst(const QString& text, bool lowerRest) {
    if (text.isEmpty())
        return text;
    const qsizetype first = text.front().isHighSurrogate() && text.size() > 1 ? 2 : 1;
    const QString rest = text.mid(first);
    return text.left(first).toUpper() + (lowerRest ? rest.toLower() : rest);
}

bool separatesWords(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' ||
           c == QChar(0x85) || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

const std::array<std::pair<const char*, double>, 5> fixedPositions = {{
    {"fixedTop", 0.0},
    {"fixedMiddleTop", 0.25},
    {"fixedMiddle", 0.5},
    {"fixedMiddleBottom", 0.75},
    {"fixedBottom", 1.0},
}};

struct SidewaysPosition {
    const char* value;
    const char* title;
    const char* symbol;
};
// From left to right; "fixedLeftRight" blows to both sides at once.
const std::array<SidewaysPosition, 6> sidewaysPositions = {{
    {"fixedLeft", "Left", "arrow.left"},
    {"fixedCenterLeft", "Center left", "arrow.up.left"},
    {"fixedCenter", "Center", "arrow.up"},
    {"fixedCenterRight", "Center right", "arrow.up.right"},
    {"fixedRight", "Right", "arrow.right"},
    {"fixedLeftRight", "Left and right", "arrow.split"},
}};

const SidewaysPosition* sidewaysPosition(const std::optional<QString>& setting) {
    for (const SidewaysPosition& position : sidewaysPositions)
        if (setting == QLatin1StringView(position.value))
            return &position;
    return nullptr;
}

} // namespace

QString ACMode::title(const QString& mode) {
    if (mode == u"cool")
        return "Cool";
    if (mode == u"heat")
        return "Heat";
    if (mode == u"fan")
        return "Fan";
    if (mode == u"dry")
        return "Dry";
    if (mode == u"auto")
        return "Auto";
    QString title;
    qsizetype wordStart = 0;
    for (qsizetype i = 0; i <= mode.size(); ++i) {
        if (i < mode.size() && !separatesWords(mode[i]))
            continue;
        title += upperFirst(mode.mid(wordStart, i - wordStart), true);
        if (i < mode.size())
            title += mode[i];
        wordStart = i + 1;
    }
    return title;
}

QString ACMode::symbol(const QString& mode) {
    if (mode == u"cool")
        return "snowflake";
    if (mode == u"heat")
        return "sun.max.fill";
    if (mode == u"fan")
        return "fan.fill";
    if (mode == u"dry")
        return "drop.fill";
    if (mode == u"auto")
        return "arrow.triangle.2.circlepath";
    return "circle.dotted";
}

QStringList Swing::positions(const QStringList& list) {
    QStringList positions;
    for (const auto& [position, aim] : fixedPositions)
        if (list.contains(position))
            positions.append(position);
    return positions;
}

QString Swing::title(const std::optional<QString>& setting) {
    if (!setting)
        return "Fixed";
    if (*setting == u"rangeFull")
        return "Swing";
    if (*setting == u"fixedTop")
        return "Top";
    if (*setting == u"fixedMiddleTop")
        return "Upper";
    if (*setting == u"fixedMiddle")
        return "Middle";
    if (*setting == u"fixedMiddleBottom")
        return "Lower";
    if (*setting == u"fixedBottom")
        return "Bottom";
    if (*setting == u"stopped")
        return "Hold";
    return genericTitle(setting);
}

std::optional<double> Swing::aim(const std::optional<QString>& setting) {
    if (!setting)
        return 0.5;
    if (setting->startsWith(u"range"))
        return std::nullopt;
    for (const auto& [position, aim] : fixedPositions)
        if (*setting == QLatin1StringView(position))
            return aim;
    return 0.5;
}

QString Swing::genericTitle(const std::optional<QString>& setting) {
    if (!setting)
        return QString(QChar(0x2013)); // en dash
    if (*setting == u"stopped")
        return "Off";
    if (*setting == u"rangeFull")
        return "Full";
    const auto isLower = [](QChar c) { return c >= u'a' && c <= u'z'; };
    const auto isUpper = [](QChar c) { return c >= u'A' && c <= u'Z'; };
    const QString stripped = QString(*setting).remove(QStringLiteral("fixed"));
    QString words;
    for (qsizetype i = 0; i < stripped.size(); ++i) {
        if (i > 0 && isLower(stripped[i - 1]) && isUpper(stripped[i]))
            words += u' ';
        words += stripped[i];
    }
    return upperFirst(words.toLower().replace(u'_', u' '), false);
}

QString Sideways::title(const std::optional<QString>& setting) {
    if (const SidewaysPosition* position = sidewaysPosition(setting))
        return QString::fromLatin1(position->title);
    if (setting == u"rangeFull")
        return "Swing";
    if (setting == u"rangeCenter")
        return "Swing center";
    if (setting == u"stopped")
        return "Hold";
    return Swing::genericTitle(setting);
}

QString Sideways::symbol(const std::optional<QString>& setting) {
    if (const SidewaysPosition* position = sidewaysPosition(setting))
        return QString::fromLatin1(position->symbol);
    if (setting && setting->startsWith(u"range"))
        return "arrow.left.and.right";
    if (setting == u"stopped")
        return "pause";
    return "circle.dotted";
}

QStringList Sideways::positions(const QStringList& list) {
    QStringList positions;
    for (const SidewaysPosition& position : sidewaysPositions)
        if (list.contains(QLatin1StringView(position.value)))
            positions.append(QString::fromLatin1(position.value));
    return positions;
}
