#pragma once

#include <QString>

// Texts as a screen reader should say them, the units drawn as signs written out.
namespace Spoken {
// "24.6°" reads "24.6 degrees", "58%" "58 percent", a lone "–" "no reading".
QString units(const QString& text);
} // namespace Spoken
