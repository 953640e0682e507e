#pragma once

#include <QFont>
#include <QString>

class QPainter;
class QPointF;

// The panel's typeface, Inter: the system's where it has every weight the panel uses, else the
// copy compiled into the program. Sizes are in points, which are Qt's device-independent pixels.
namespace Fonts {

// Registers the embedded faces with the application (once, and only when the system lacks
// Inter) and returns their family.
QString install();

// Inter at `points` and `weight`; installs the faces when that has not happened yet.
QFont font(qreal points, QFont::Weight weight = QFont::Normal);
// The size of `font` in points.
qreal points(const QFont& font);

// Tabular digits, for numbers that must not jump as they change. Qt 6.4 cannot turn on the
// font's own tabular figures, so every digit 0–9 is laid in a cell as wide as the widest one,
// centred; the text between digits keeps its ordinary spacing.
qreal tabularWidth(const QFont& font, const QString& text);
// Draws `text` that way with the painter's font and pen, starting on the baseline at `origin`.
void drawTabular(QPainter& painter, const QPointF& origin, const QString& text);

} // namespace Fonts
