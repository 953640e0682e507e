#include "settings/row.h"

#include "panel/style/fonts.h"
#include "panel/style/palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

Row::Row(const QString& title, const QString& detail, QWidget* control, QWidget* parent)
    : QWidget(parent), titleLabel(new QLabel(title, this)), detailLabel(new QLabel(this)),
      trailing(control) {
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(16, 12, 16, 12);
    line->setSpacing(16);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    titleLabel->setFont(Fonts::font(13));
    titleLabel->setVisible(!title.isEmpty());
    texts->addWidget(titleLabel);
    detailLabel->setFont(Fonts::font(11.5));
    detailLabel->setWordWrap(true);
    QPalette colors = detailLabel->palette();
    colors.setColor(QPalette::WindowText, Palette::secondaryText());
    detailLabel->setPalette(colors);
    texts->addWidget(detailLabel);
    setDetail(detail);
    line->addLayout(texts, 1);

    if (trailing) {
        trailing->setParent(this);
        // A control beside its title says nothing of what it sets; a screen reader names it so.
        if (trailing->accessibleName().isEmpty())
            trailing->setAccessibleName(title);
        titleLabel->setBuddy(trailing); // and reads the title as the control's label
        line->addWidget(trailing, 0, Qt::AlignVCenter);
    }
}

QString Row::title() const {
    return titleLabel->text();
}

QString Row::detail() const {
    return detailLabel->text();
}

void Row::setDetail(const QString& detail) {
    detailLabel->setText(detail);
    detailLabel->setVisible(!detail.isEmpty());
}
