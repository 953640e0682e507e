#include "panel/accessibility/spoken.h"

QString Spoken::units(const QString& text) {
    if (text == QStringView(u"–"))
        return QStringLiteral("no reading");
    QString spoken = text;
    spoken.replace(QStringLiteral("°C"), QStringLiteral(" degrees Celsius"))
        .replace(QStringLiteral("°F"), QStringLiteral(" degrees Fahrenheit"))
        .replace(QStringLiteral("°"), QStringLiteral(" degrees"))
        .replace(QStringLiteral("%"), QStringLiteral(" percent"));
    return spoken;
}
