#pragma once

#include <QFont>
#include <QRectF>

class QPainter;

// The frame of the card's larger controls (the dropdown triggers): a faint rounded well, 32
// points high, whose content sits 12 points in from its sides in a 12-point medium font.
namespace ControlWell {

inline constexpr qreal height = 32;
inline constexpr qreal inset = 12;

QFont font();
// Fills and outlines the well in `rect`; a well whose control is active is lit a little more.
void paint(QPainter& painter, const QRectF& rect, bool active = false);

} // namespace ControlWell
