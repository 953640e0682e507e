#include "panel/accessibility/focus_ring.h"

#include "panel/style/palette.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace {
constexpr qreal ringWidth = 2;
constexpr int outset = 3; // between the control's edge and the ring's inner edge
} // namespace

FocusRing::FocusRing(QWidget* area, std::function<bool()> keysTaken)
    : QWidget(area), keysTaken(std::move(keysTaken)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    qApp->installEventFilter(this);
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        return press(watched, *static_cast<QKeyEvent*>(event));
    case QEvent::FocusIn: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != window())
            break;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool byKeys = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
        // A text field shows its own cursor.
        shown = byKeys && !qobject_cast<QLineEdit*>(widget) ? widget : nullptr;
        follow();
        break;
    }
    case QEvent::FocusOut:
        if (watched == shown) {
            shown = nullptr;
            follow();
        }
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Hide:
    case QEvent::Show:
        // The control, or a widget holding it, moved: a list scrolled to it, a card unfolded.
        if (shown && watched->isWidgetType() &&
            (watched == shown || static_cast<QWidget*>(watched)->isAncestorOf(shown)))
            follow();
        break;
    default:
        break;
    }
    return false;
}

bool FocusRing::press(QObject* watched, const QKeyEvent& key) const {
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if ((key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) ||
        (key.modifiers() & ~Qt::KeypadModifier) || !button || !button->hasFocus() ||
        !button->isEnabled() || button->window() != window() || (keysTaken && keysTaken()))
        return false;
    button->animateClick();
    return true;
}

void FocusRing::follow() {
    if (!shown || !shown->isVisible() || !parentWidget()->isAncestorOf(shown)) {
        hide();
        return;
    }
    const QRect around(shown->mapTo(parentWidget(), QPoint(0, 0)), shown->size());
    const int margin = outset + int(ringWidth);
    const QRect ring = around.adjusted(-margin, -margin, margin, margin);
    // A control half scrolled out of a list shows its ring only where the list shows it, not
    // over the header above the list.
    QRect seen = parentWidget()->rect();
    for (QWidget* holder = shown->parentWidget(); holder && holder != parentWidget();
         holder = holder->parentWidget())
        if (auto* scroller = qobject_cast<QAbstractScrollArea*>(holder->parentWidget());
            scroller && scroller->viewport() == holder)
            seen &= QRect(holder->mapTo(parentWidget(), QPoint(0, 0)), holder->size());
    if (!seen.intersects(ring)) {
        hide();
        return;
    }
    setGeometry(ring);
    setMask(QRegion((seen & ring).translated(-ring.topLeft())));
    raise();
    show();
    update();
}

void FocusRing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Palette::cool(), ringWidth));
    painter.setBrush(Qt::NoBrush);
    const QRectF ring =
        QRectF(rect()).adjusted(ringWidth / 2, ringWidth / 2, -ringWidth / 2, -ringWidth / 2);
    const qreal radius = std::min<qreal>(ring.height() / 2, 10);
    painter.drawRoundedRect(ring, radius, radius);
}
