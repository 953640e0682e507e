#include "client/json_codec.h"

#include <QRegularExpression>

// Accepted forms: date "T" time, with a fraction of any length and a zone ("Z" or ±hh:mm), with a
// zone and no fraction, or with neither (then read as UTC). A fraction without a zone is not one
// of them.
QDateTime decodeServiceDate(const QJsonValue& value, const DecodeContext& context) {
    const QString text = decodeJson<QString>(value, context);
    static const QRegularExpression pattern(QStringLiteral(
        "^([0-9]{4})-([0-9]{2})-([0-9]{2})T([0-9]{2}):([0-9]{2}):([0-9]{2})(?:\\.([0-9]+))?"
        "(?:(Z)|([+-])([0-9]{2}):([0-9]{2}))?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    const auto number = [&](int group) { return match.captured(group).toInt(); };
    const bool hasFraction = match.hasCaptured(7);
    const bool hasOffset = match.hasCaptured(9); // a zone other than "Z"
    if (!match.hasMatch() || (hasFraction && !hasOffset && !match.hasCaptured(8)))
        context.fail(QStringLiteral("Bad date ") + text);

    const QDate date(number(1), number(2), number(3));
    const int milliseconds = match.captured(7).left(3).leftJustified(3, u'0').toInt();
    const QTime time(number(4), number(5), number(6), milliseconds);
    const int offsetHours = hasOffset ? number(10) : 0;
    const int offsetMinutes = hasOffset ? number(11) : 0;
    if (!date.isValid() || !time.isValid() || offsetHours > 23 || offsetMinutes > 59)
        context.fail(QStringLiteral("Bad date ") + text);

    const int offsetSeconds =
        (match.captured(9) == u'-' ? -1 : 1) * (offsetHours * 3600 + offsetMinutes * 60);
    return QDateTime(date, time, Qt::UTC).addSecs(-offsetSeconds);
}
