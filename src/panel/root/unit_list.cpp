#include "panel/root/unit_list.h"

#include "model/app_model.h"
#include "panel/animation/view_environment.h"
#include "panel/card/unit_card.h"

#include <QEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {
constexpr int cardSpacing = 10;
constexpr int inset = 12;
} // namespace

UnitList::UnitList(AppModel& model, QWidget* parent)
    : QWidget(parent), model(model), column(new QWidget), stack(new QVBoxLayout(column)) {
    stack->setSpacing(cardSpacing);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (ViewEnvironment::renderingPreview()) {
        column->setParent(this);
        layout->addWidget(column);
    } else {
        scroller = new QScrollArea(this);
        scroller->setFrameShape(QFrame::NoFrame);
        scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroller->setWidgetResizable(true);
        scroller->setWidget(column);
        // The panel's background shows through.
        scroller->viewport()->setAutoFillBackground(false);
        column->setAutoFillBackground(false);
        layout->addWidget(scroller);
        column->installEventFilter(this);
        connect(&scroll, &Animation::valueChanged, this, [this](double value) {
            scroller->verticalScrollBar()->setValue(int(std::round(value)));
        });
    }
    connect(&model, &AppModel::podsChanged, this, &UnitList::rebuild);
    connect(&model, &AppModel::selectedIDChanged, this, &UnitList::revealSelected);
    rebuild();
}

int UnitList::heightCap(std::optional<int> availableHeight) {
    if (!availableHeight)
        return 760;
    return std::max(320, *availableHeight - 140);
}

QList<UnitCard*> UnitList::cards() const {
    return order;
}

void UnitList::rebuild() {
    const QList<Pod>& pods = model.pods();
    QHash<QString, QPointer<UnitCard>> kept;
    QList<UnitCard*> next;
    for (int index = 0; index < pods.size(); ++index) {
        const QString& id = pods[index].id;
        UnitCard* card = byID.take(id);
        if (card)
            card->setIndex(index);
        else
            card = new UnitCard(model, id, index, column);
        kept.insert(id, card);
        next.append(card);
    }
    // Cards of units no longer listed go once control has left them.
    for (const QPointer<UnitCard>& gone : std::as_const(byID))
        if (gone) {
            stack->removeWidget(gone);
            gone->hide();
            gone->deleteLater();
        }
    byID = std::move(kept);
    if (next != order) {
        for (UnitCard* card : std::as_const(next))
            stack->removeWidget(card);
        for (UnitCard* card : std::as_const(next))
            stack->addWidget(card);
        order = std::move(next);
    }
    for (UnitCard* card : std::as_const(order))
        card->show();
    if (pods.size() == 1)
        stack->setContentsMargins(0, 0, 0, 0);
    else
        stack->setContentsMargins(inset, 0, inset, inset);
    fitHeight();
}

void UnitList::fitHeight() {
    if (!scroller)
        return;
    const int content = stack->hasHeightForWidth() ? stack->totalHeightForWidth(width())
                                                   : stack->totalSizeHint().height();
    const QScreen* screen = this->screen();
    const int cap =
        heightCap(screen ? std::optional(screen->availableGeometry().height()) : std::nullopt);
    setFixedHeight(std::min(content, cap));
}

bool UnitList::eventFilter(QObject* watched, QEvent* event) {
    // A card grew or shrank: the list follows it.
    if (watched == column && event->type() == QEvent::LayoutRequest)
        fitHeight();
    return QWidget::eventFilter(watched, event);
}

void UnitList::revealSelected() {
    if (!scroller || !model.selectedID())
        return;
    const QPointer<UnitCard> card = byID.value(*model.selectedID());
    if (!card)
        return;
    stack->activate();
    QScrollBar* bar = scroller->verticalScrollBar();
    const int visible = scroller->viewport()->height();
    const int current = bar->value();
    const QRect frame = card->geometry();
    int target = current;
    if (frame.top() < current)
        target = frame.top();
    else if (frame.bottom() + 1 > current + visible)
        target = std::min(frame.top(), frame.bottom() + 1 - visible);
    target = std::clamp(target, bar->minimum(), bar->maximum());
    if (target == current)
        return;
    scroll.setValue(current);
    scroll.animateTo(target);
}
