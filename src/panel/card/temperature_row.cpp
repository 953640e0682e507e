#include "panel/card/temperature_row.h"

#include "panel/controls/counting_figure.h"
#include "panel/controls/round_button.h"

#include <QResizeEvent>

namespace {

constexpr int buttonSize = 40;
constexpr int spacing = 22;
constexpr int column = 170;
constexpr int above = 6;
constexpr int below = 4;

} // namespace

TemperatureRow::TemperatureRow(QWidget* parent) : QWidget(parent) {
    minus = new RoundButton(QStringLiteral("minus"), buttonSize, this);
    minus->setHelp(QStringLiteral("Cooler"));
    plus = new RoundButton(QStringLiteral("plus"), buttonSize, this);
    plus->setHelp(QStringLiteral("Warmer"));
    figure = new CountingNumber(this);
    // On the Tab path between its buttons: the arrows step the target of the unit in focus.
    figure->setFocusPolicy(Qt::TabFocus);
    setTabOrder(minus, figure);
    setTabOrder(figure, plus);
    room = new TightFigure(this);
    room->setToolTip(QStringLiteral("Room temperature"));
    room->hide();
}

void TemperatureRow::setActions(std::function<void()> cooler, std::function<void()> warmer) {
    minus->setAction(std::move(cooler));
    plus->setAction(std::move(warmer));
}

void TemperatureRow::setContent(const std::optional<Target>& target, const QString& roomText,
                                const QColor& color) {
    hasTarget = target.has_value();
    shown = target;
    minus->setVisible(hasTarget);
    plus->setVisible(hasTarget);
    figure->setVisible(hasTarget);
    room->setVisible(!hasTarget);
    figure->setColor(color);
    room->setColor(color);
    room->setText(roomText);
    if (target) {
        minus->setEnabled(target->cooler);
        plus->setEnabled(target->warmer);
        figure->setToolTip(QStringLiteral("Target temperature (%1)").arg(target->unit));
    }
    place();
}

void TemperatureRow::step(int by) {
    (by > 0 ? plus : minus)->click();
}

QSize TemperatureRow::sizeHint() const {
    const int figureHeight = TightFigure::measure(CountingNumber::format(0)).toSize().height();
    return {buttonSize * 2 + spacing * 2 + column,
            std::max(buttonSize, above + figureHeight + below)};
}

void TemperatureRow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

void TemperatureRow::place() {
    const int figureHeight = sizeHint().height() - above - below;
    const int middle = above + figureHeight / 2;
    const int left = (width() - sizeHint().width()) / 2;
    minus->move(left, middle - buttonSize / 2);
    figure->setGeometry(left + buttonSize + spacing, above, column, figureHeight);
    plus->move(left + buttonSize + spacing + column + spacing, middle - buttonSize / 2);
    room->setGeometry((width() - column) / 2, above, column, figureHeight);
}
