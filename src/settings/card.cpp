#include "settings/card.h"

#include "panel/style/palette.h"

#include <QLayoutItem>
#include <QPainter>
#include <QVBoxLayout>

namespace {
constexpr qreal radius = 10;
constexpr int hairlineInset = 16;
} // namespace

Card::Card(QWidget* parent) : QWidget(parent), column(new QVBoxLayout(this)) {
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
}

void Card::addRow(QWidget* row) {
    column->addWidget(row);
    // Rows added while the card is on screen show at once, not after the next event loop turn.
    row->show();
}

void Card::clear() {
    while (QLayoutItem* item = column->takeAt(0)) {
        delete item->widget();
        delete item;
    }
}

void Card::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Palette::line(), 1));
    painter.setBrush(Palette::card());
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);

    // A hairline above every shown row but the first.
    bool first = true;
    for (int index = 0; index < column->count(); ++index) {
        const QWidget* row = column->itemAt(index)->widget();
        if (!row || row->isHidden())
            continue;
        if (!first)
            painter.fillRect(QRect(hairlineInset, row->y(), width() - hairlineInset, 1),
                             Palette::line());
        first = false;
    }
}
