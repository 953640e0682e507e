#include "panel/controls/chip_flow.h"

#include <QWidget>
#include <algorithm>

ChipFlow::ChipFlow(QWidget* parent, int spacing) : QLayout(parent), gap(spacing) {
    setContentsMargins(0, 0, 0, 0);
}

ChipFlow::~ChipFlow() {
    qDeleteAll(items);
}

void ChipFlow::clearWidgets() {
    while (!items.isEmpty()) {
        QLayoutItem* item = items.takeLast();
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    invalidate();
}

void ChipFlow::addItem(QLayoutItem* item) {
    items.append(item);
}

int ChipFlow::count() const {
    return int(items.size());
}

QLayoutItem* ChipFlow::itemAt(int index) const {
    return items.value(index);
}

QLayoutItem* ChipFlow::takeAt(int index) {
    return index >= 0 && index < items.size() ? items.takeAt(index) : nullptr;
}

int ChipFlow::heightForWidth(int width) const {
    return arrange(QRect(0, 0, width, 0), false);
}

QSize ChipFlow::minimumSize() const {
    QSize size;
    for (const QLayoutItem* item : items)
        size = size.expandedTo(item->minimumSize());
    return size;
}

QSize ChipFlow::sizeHint() const {
    int width = 0;
    int height = 0;
    for (const QLayoutItem* item : items) {
        if (item->isEmpty())
            continue;
        width += (width > 0 ? gap : 0) + item->sizeHint().width();
        height = std::max(height, item->sizeHint().height());
    }
    return {width, height};
}

void ChipFlow::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int ChipFlow::arrange(const QRect& rect, bool apply) const {
    QList<QLayoutItem*> line;
    int top = rect.y();
    int lineHeight = 0;
    int lineWidth = 0;
    const auto finishLine = [&] {
        if (apply) {
            int x = rect.x();
            for (QLayoutItem* item : std::as_const(line)) {
                const QSize size = item->sizeHint();
                item->setGeometry(QRect(QPoint(x, top + (lineHeight - size.height()) / 2), size));
                x += size.width() + gap;
            }
        }
        if (!line.isEmpty())
            top += lineHeight + gap;
        line.clear();
        lineHeight = 0;
        lineWidth = 0;
    };
    for (QLayoutItem* item : items) {
        if (item->isEmpty())
            continue;
        const QSize size = item->sizeHint();
        if (!line.isEmpty() && lineWidth + gap + size.width() > rect.width())
            finishLine();
        lineWidth += (line.isEmpty() ? 0 : gap) + size.width();
        lineHeight = std::max(lineHeight, size.height());
        line.append(item);
    }
    finishLine();
    return std::max(0, top - gap - rect.y());
}
