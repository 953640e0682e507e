#include "panel/card/fold_out.h"

#include "panel/animation/piece_effect.h"
#include "panel/card/advanced_section.h"

#include <QEvent>
#include <algorithm>
#include <cmath>

namespace {

constexpr qreal foldedLift = 12;

} // namespace

FoldOut::FoldOut(AppModel& model, const QString& podID, QWidget* parent)
    : QWidget(parent), advanced(new AdvancedSection(model, podID, this)), effect(new PieceEffect) {
    setGraphicsEffect(effect);
    connect(&fold, &Animation::valueChanged, this, &FoldOut::apply);
    measure();
    apply();
}

void FoldOut::setExpanded(bool value, bool animate) {
    expanded = value;
    setAttribute(Qt::WA_TransparentForMouseEvents, !expanded);
    if (expanded)
        measure();
    if (animate)
        fold.animateTo(expanded ? 1 : 0);
    else
        fold.setValue(expanded ? 1 : 0);
    apply();
}

int FoldOut::shownHeight() const {
    return int(std::lround(std::max<qreal>(0, fold.value()) * natural));
}

bool FoldOut::event(QEvent* event) {
    // The section asks for a new layout when its content changes: measure it again.
    if (event->type() == QEvent::LayoutRequest)
        measure();
    return QWidget::event(event);
}

void FoldOut::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    measure();
    apply();
}

void FoldOut::measure() {
    const int height = advanced->hasHeightForWidth() && width() > 0
                           ? advanced->heightForWidth(width())
                           : advanced->sizeHint().height();
    const int measured = std::max(0, height);
    if (measured == natural)
        return;
    natural = measured;
    apply();
}

void FoldOut::apply() {
    const qreal open = fold.value();
    advanced->setGeometry(0, int(std::lround(-foldedLift * (1 - std::clamp<qreal>(open, 0, 1)))),
                          width(), natural);
    effect->setOpacity(open);
    effect->setEnabled(open < 1);
    Q_EMIT heightChanged();
}
