#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QStringList>

class QPainter;
class QRectF;

// The icons behind the symbol names the views use ("power", "drop.fill", …), drawn from the
// line icons compiled into the program (symbols.map) in any colour. A heavier weight draws a
// thicker stroke. A name without an icon draws the neutral "circle.dotted".
namespace Icons {

// Every symbol name that has an icon of its own, sorted.
QStringList names();
bool contains(const QString& symbol);

// The side of the square an icon takes when it stands in for text of `points` size.
qreal sideForText(qreal points);

// The icon on a transparent square of `side` points for a screen of `devicePixelRatio`.
QPixmap pixmap(const QString& symbol, qreal side, const QColor& color, qreal devicePixelRatio = 1,
               QFont::Weight weight = QFont::Normal);

// The pixels per point of what `painter` draws into: its target's density times its scale.
qreal pixelRatio(const QPainter& painter);

// Draws the icon centred in `rect`, as large as the rect's shorter side, at the painter's density.
void paint(QPainter& painter, const QRectF& rect, const QString& symbol, const QColor& color,
           QFont::Weight weight = QFont::Normal);

// The icon for menus and other Qt widgets, drawn at whatever size they ask for.
QIcon icon(const QString& symbol, const QColor& color, QFont::Weight weight = QFont::Normal);

} // namespace Icons
