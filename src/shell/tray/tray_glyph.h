#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QString>

// The tray item's picture: an air conditioner blowing three streams, with a slash through it
// while the app or the unit it reports is offline, drawn in light lines on a dark tray and in
// dark ones on a light tray.
// Where no text can stand beside the icon, the picture is the reading itself instead: a whole
// number of degrees ("25°") in bold, as large as the square allows.
namespace TrayGlyph {

// The colour of the lines on a tray of the given darkness.
QColor inkFor(bool darkTray);

// The picture on a transparent square of `pixels` pixels: the glyph, or `reading` when there
// is one.
QImage image(bool slashed, const QString& reading, int pixels, const QColor& ink = inkFor(true));

// Every size a tray asks for (16 to 48 pixels, and twice that for dense screens), each drawn
// when first asked for.
QIcon icon(bool slashed, const QString& reading = {}, const QColor& ink = inkFor(true));

} // namespace TrayGlyph
