#include "shell/desktop/appearance.h"

#include "panel/animation/frame_ticker.h"
#include "panel/animation/view_environment.h"
#include "panel/style/fonts.h"
#include "panel/style/palette.h"
#include "panel/style/panel_resources.h"

#include <QApplication>
#include <QStyleFactory>

namespace Appearance {

QPalette darkPalette() {
    QPalette palette;
    const QColor text = Palette::primaryText();
    const QColor dimmed = Palette::tertiaryText();
    const QColor panel = Palette::background();
    const QColor raised = Palette::card();
    palette.setColor(QPalette::Window, panel);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, raised);
    palette.setColor(QPalette::AlternateBase, panel);
    palette.setColor(QPalette::ToolTipBase, raised);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, Palette::secondaryText());
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, raised);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Palette::warm());
    palette.setColor(QPalette::Highlight, Palette::cool());
    palette.setColor(QPalette::HighlightedText, text);
    palette.setColor(QPalette::Link, Palette::cool());
    palette.setColor(QPalette::Light, raised.lighter(140));
    palette.setColor(QPalette::Midlight, raised.lighter(120));
    palette.setColor(QPalette::Mid, raised.darker(120));
    palette.setColor(QPalette::Dark, panel.darker(140));
    palette.setColor(QPalette::Shadow, Qt::black);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText})
        palette.setColor(QPalette::Disabled, role, dimmed);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, raised.lighter(130));
    return palette;
}

void apply() {
    loadPanelResources();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(darkPalette());
    QApplication::setFont(Fonts::font(13));
}

void setReducedMotion(bool on) {
    ViewEnvironment::setReducedMotion(on);
    FrameTicker::shared()->setInstant(on);
}

} // namespace Appearance
