#include "panel/style/fonts.h"

#include "panel/style/panel_resources.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace {

// The weights of the faces built into the app: Regular, Medium, SemiBold, Bold and ExtraBold.
constexpr int embeddedWeights[] = {QFont::Normal, QFont::Medium, QFont::DemiBold, QFont::Bold,
                                   QFont::ExtraBold};

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Calls visit(run, x) for each digit, at its place in its centred cell, and for each stretch
// of other text; returns the width of the whole.
template <typename Visit>
qreal layTabular(const QFontMetricsF& metrics, const QString& text, Visit&& visit) {
    qreal cell = 0;
    for (char16_t d = u'0'; d <= u'9'; ++d)
        cell = std::max(cell, metrics.horizontalAdvance(QChar(d)));
    qreal x = 0;
    for (qsizetype i = 0; i < text.size();) {
        if (isDigit(text[i])) {
            const QString digit(text[i]);
            visit(digit, x + (cell - metrics.horizontalAdvance(digit)) / 2);
            x += cell;
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && !isDigit(text[end]))
            ++end;
        const QString run = text.mid(i, end - i);
        visit(run, x);
        x += metrics.horizontalAdvance(run);
        i = end;
    }
    return x;
}

const QString interFamily = QStringLiteral("Inter");

// Whether the system has Inter in every weight the panel uses. Its files are the ones the app
// embeds, and fontconfig maps them from disk instead of the app holding a copy of each face.
bool systemHasInter() {
    QList<int> weights;
    for (const QString& style : QFontDatabase::styles(interFamily))
        if (!QFontDatabase::italic(interFamily, style))
            weights.append(QFontDatabase::weight(interFamily, style));
    return std::all_of(std::begin(embeddedWeights), std::end(embeddedWeights),
                       [&](int weight) { return weights.contains(weight); });
}

} // namespace

QString Fonts::install() {
    static const QString family = [] {
        if (systemHasInter())
            return interFamily;
        loadPanelResources();
        QString found;
        const QDir folder(QStringLiteral(":/alvore/fonts"));
        for (const QString& file : folder.entryList(QDir::Files, QDir::Name)) {
            const int id = QFontDatabase::addApplicationFont(folder.filePath(file));
            if (found.isEmpty() && id >= 0)
                found = QFontDatabase::applicationFontFamilies(id).value(0);
        }
        return found.isEmpty() ? interFamily : found;
    }();
    return family;
}

// Qt converts its point sizes at 96 device-independent pixels per inch.
constexpr qreal qtPointsPerPoint = 72.0 / 96.0;

QFont Fonts::font(qreal points, QFont::Weight weight) {
    QFont font(install());
    font.setPointSizeF(points * qtPointsPerPoint);
    font.setWeight(weight);
    return font;
}

qreal Fonts::points(const QFont& font) {
    return font.pointSizeF() > 0 ? font.pointSizeF() / qtPointsPerPoint : font.pixelSize();
}

qreal Fonts::tabularWidth(const QFont& font, const QString& text) {
    return layTabular(QFontMetricsF(font), text, [](const QString&, qreal) {});
}

void Fonts::drawTabular(QPainter& painter, const QPointF& origin, const QString& text) {
    layTabular(QFontMetricsF(painter.font()), text,
               [&](const QString& run, qreal x) { painter.drawText(origin + QPointF(x, 0), run); });
}
