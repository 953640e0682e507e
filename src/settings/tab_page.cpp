#include "settings/tab_page.h"

#include "panel/style/fonts.h"
#include "panel/style/palette.h"
#include "settings/card.h"
#include "settings/section_title.h"

#include <QLabel>
#include <QVBoxLayout>

TabPage::TabPage(QWidget* parent) : QWidget(parent), layout(new QVBoxLayout(this)) {
    layout->setContentsMargins(24, 8, 24, 24);
    layout->setSpacing(8);
    layout->setAlignment(Qt::AlignTop);
}

void TabPage::addSection(const QString& title, Card* card) {
    if (layout->count() > 0)
        layout->addSpacing(10);
    layout->addWidget(new SectionTitle(title, this));
    layout->addWidget(card);
}

void TabPage::addWidget(QWidget* widget, Qt::Alignment alignment) {
    layout->addWidget(widget, 0, alignment);
}

QLabel* TabPage::note(const QString& text) {
    auto* label = new QLabel(text, this);
    label->setFont(Fonts::font(12));
    label->setWordWrap(true);
    QPalette colors = label->palette();
    colors.setColor(QPalette::WindowText, Palette::secondaryText());
    label->setPalette(colors);
    return label;
}
