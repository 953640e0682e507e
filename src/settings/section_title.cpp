#include "settings/section_title.h"

#include "panel/style/fonts.h"
#include "panel/style/palette.h"

SectionTitle::SectionTitle(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setFont(Fonts::font(11.5, QFont::DemiBold));
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, Palette::secondaryText());
    setPalette(colors);
    setContentsMargins(4, 0, 0, 0);
}
