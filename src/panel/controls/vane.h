#pragma once

#include <QtGlobal>

class QPainter;
class QPen;
class QRectF;

// The stroke that shows where the air points: a straight line through the centre of its frame,
// as long as the frame is wide, tilted down to the right by aim × 52 + 6 degrees (y grows
// downward), so aim 0 is almost level and aim 1 points steeply down. Animating the aim
// animates the angle.
namespace Vane {

// Strokes the line with the caller's pen.
void paint(QPainter& painter, const QRectF& frame, qreal aim, const QPen& pen);

} // namespace Vane
