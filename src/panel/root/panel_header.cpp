#include "panel/root/panel_header.h"

#include "panel/common/panel_menu.h"
#include "panel/common/status_line.h"
#include "panel/style/fonts.h"
#include "panel/style/palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

PanelHeader::PanelHeader(AppModel& model, QWidget* parent) : QWidget(parent) {
    auto* name = new QLabel(QStringLiteral("Alvore"), this);
    name->setFont(Fonts::font(13, QFont::DemiBold));
    QPalette colors = name->palette();
    colors.setColor(QPalette::WindowText, Palette::primaryText());
    name->setPalette(colors);

    auto* title = new QHBoxLayout;
    title->setSpacing(4);
    title->addWidget(name);
    title->addWidget(new PanelMenu(model, false, this));
    title->addStretch();

    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    column->addLayout(title);
    column->addWidget(new StatusLine(model, this));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 12, 10, 10);
    row->addLayout(column);
    row->addStretch();
}
