#include "panel/dropdown/dropdown_trigger.h"

#include "model/app_model.h"
#include "panel/controls/control_well.h"
#include "panel/controls/vane.h"
#include "panel/style/fonts.h"
#include "panel/style/icons.h"
#include "panel/style/palette.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <cmath>

namespace {

constexpr qreal spacing = 6;
constexpr qreal chevronPoints = 8;
constexpr qreal vaneWidth = 12;
constexpr qreal vaneStroke = 1.6;

qreal iconSide() {
    return Icons::sideForText(Fonts::points(ControlWell::font()));
}

} // namespace

DropdownTrigger::DropdownTrigger(AppModel& model, QString id, const QString& help, Make make,
                                 QWidget* parent)
    : QAbstractButton(parent), model(model), dropdownID(std::move(id)), make(std::move(make)) {
    setFocusPolicy(Qt::TabFocus);
    setToolTip(help);
    setAccessibleName(help);
    setFont(ControlWell::font());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, &DropdownTrigger::toggle);
    connect(&model, &AppModel::dropdownChanged, this, qOverload<>(&QWidget::update));
    connect(&turn, &Animation::valueChanged, this, qOverload<>(&QWidget::update));
}

void DropdownTrigger::setLabel(const Dropdown::Option::Icon& value, const QString& text) {
    if (value == icon && text == title)
        return;
    if (const auto* vane = std::get_if<Dropdown::Option::Vane>(&value)) {
        if (std::holds_alternative<Dropdown::Option::Vane>(icon) && isVisible())
            turn.animateTo(vane->aim);
        else
            turn.setValue(vane->aim);
    }
    icon = value;
    title = text;
    updateGeometry();
    update();
}

bool DropdownTrigger::isOpen() const {
    return model.picker().shown() && model.picker().shown()->id == dropdownID;
}

QRectF DropdownTrigger::panelFrame() const {
    return {QPointF(mapTo(window(), QPoint(0, 0))), QSizeF(size())};
}

QSize DropdownTrigger::sizeHint() const {
    const qreal text = QFontMetricsF(font()).horizontalAdvance(title);
    const qreal width = ControlWell::inset * 2 + iconSide() + spacing + text + spacing +
                        Icons::sideForText(chevronPoints);
    return {int(std::ceil(width)), int(ControlWell::height)};
}

void DropdownTrigger::toggle() {
    if (isOpen()) {
        model.picker().close();
        return;
    }
    if (make)
        model.picker().open(make(panelFrame()));
}

void DropdownTrigger::paintEvent(QPaintEvent*) {
    const bool active = isOpen() || isDown();
    Dropdown::Option::Icon shown = icon;
    if (std::holds_alternative<Dropdown::Option::Vane>(shown))
        shown = Dropdown::Option::Vane{turn.value()};
    picture.paint(*this, {shown, title, active}, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF bounds(rect());
        ControlWell::paint(painter, bounds, active);

        const qreal middle = bounds.center().y();
        const qreal side = iconSide();
        const QRectF iconRect(ControlWell::inset, middle - side / 2, side, side);
        if (const auto* symbol = std::get_if<Dropdown::Option::Symbol>(&icon)) {
            Icons::paint(painter, iconRect, symbol->name, Palette::primaryText(), QFont::Medium);
        } else {
            const qreal aim = std::get<Dropdown::Option::Vane>(shown).aim;
            QPen pen(Palette::primaryText(), vaneStroke);
            pen.setCapStyle(Qt::RoundCap);
            const QRectF frame(iconRect.center().x() - vaneWidth / 2, middle - vaneWidth / 2,
                               vaneWidth, vaneWidth);
            Vane::paint(painter, frame, aim, pen);
        }

        const qreal chevron = Icons::sideForText(chevronPoints);
        const qreal textLeft = iconRect.right() + spacing;
        const qreal chevronLeft = bounds.right() - ControlWell::inset - chevron;
        painter.setFont(font());
        painter.setPen(Palette::primaryText());
        const QRectF textRect(textLeft, 0, std::max<qreal>(0, chevronLeft - spacing - textLeft),
                              bounds.height());
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                         QFontMetricsF(font()).elidedText(title, Qt::ElideRight, textRect.width()));
        Icons::paint(painter, QRectF(chevronLeft, middle - chevron / 2, chevron, chevron),
                     QStringLiteral("chevron.down"), Palette::secondaryText(), QFont::Bold);
    });
}
