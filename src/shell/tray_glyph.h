#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

// The tray item's picture: an air conditioner blowing three streams, with a slash through it
// while the app or the unit it reports is offline. Trays here are dark, so the lines are light.
// A tray cannot show text beside its icon, so a reading goes into the picture itself: the glyph
// shrinks into the top part and the reading, in bold, fills the width below it.
namespace TrayGlyph {

// The picture on a transparent square of `pixels` pixels.
QImage image(bool slashed, const QString& reading, int pixels);

// Every size a tray asks for (16 to 48 pixels, and twice that for dense screens).
QIcon icon(bool slashed, const QString& reading = {});

} // namespace TrayGlyph
