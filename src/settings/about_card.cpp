#include "settings/about_card.h"

#include "panel/style/fonts.h"
#include "panel/style/icons.h"
#include "panel/style/palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

AboutCard::AboutCard(QWidget* parent) : Card(parent) {
    auto* content = new QWidget(this);
    auto* line = new QHBoxLayout(content);
    line->setContentsMargins(16, 14, 16, 14);
    line->setSpacing(14);

    auto* icon = new QLabel(content);
    icon->setPixmap(Icons::pixmap(QStringLiteral("air.conditioner.horizontal"), 30, Palette::cool(),
                                  devicePixelRatioF(), QFont::DemiBold));
    line->addWidget(icon, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    auto* name = new QLabel(versionLine(), content);
    name->setFont(Fonts::font(13, QFont::DemiBold));
    texts->addWidget(name);
    auto* about = new QLabel(
        QStringLiteral("Watch and run your Sensibo air conditioners from the tray."), content);
    about->setFont(Fonts::font(11.5));
    about->setWordWrap(true);
    QPalette colors = about->palette();
    colors.setColor(QPalette::WindowText, Palette::secondaryText());
    about->setPalette(colors);
    texts->addWidget(about);
    line->addLayout(texts, 1);

    addRow(content);
}

QString AboutCard::versionLine() {
    return QStringLiteral("Alvore ") + QStringLiteral(ALVORE_VERSION);
}
