#include "panel/dropdown/dropdown_card.h"

#include "model/app_model.h"
#include "panel/controls/vane.h"
#include "panel/style/fonts.h"
#include "panel/style/icons.h"
#include "panel/style/palette.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

constexpr qreal inset = 6;
constexpr qreal rowHeight = 36;
constexpr qreal separatorHeight = 9;
constexpr qreal separatorInset = 10;
constexpr qreal noteHeight = 30;
constexpr qreal radius = 16;
constexpr qreal rowRadius = 10;
constexpr qreal rowLeading = 5;
constexpr qreal rowTrailing = 10;
constexpr qreal spacing = 10;
constexpr qreal circle = 26;
constexpr qreal vaneWidth = 12;
constexpr qreal vaneStroke = 1.8;

QColor cardFill() {
    return QColor::fromRgbF(0.18f, 0.18f, 0.18f);
}

QColor withAlpha(QColor color, qreal alpha) {
    color.setAlphaF(float(alpha));
    return color;
}

} // namespace

DropdownCard::DropdownCard(AppModel& model, QWidget* parent) : QWidget(parent), model(model) {
    setMouseTracking(true);
    setFixedWidth(int(cardWidth));
}

qreal DropdownCard::heightOf(const Dropdown& dropdown) {
    const auto groups =
        std::count_if(dropdown.options.cbegin(), dropdown.options.cend(),
                      [](const Dropdown::Option& option) { return option.startsGroup; });
    return separatorHeight * qreal(groups) + rowHeight * qreal(dropdown.options.size()) +
           (dropdown.note ? noteHeight : 0) + 2 * inset;
}

void DropdownCard::setDropdown(const Dropdown& dropdown) {
    shown = dropdown;
    rows.clear();
    separators.clear();
    qreal y = inset;
    for (const Dropdown::Option& option : std::as_const(shown.options)) {
        if (option.startsGroup) {
            separators.append(y + separatorHeight / 2);
            y += separatorHeight;
        }
        rows.append(QRectF(inset, y, cardWidth - 2 * inset, rowHeight));
        y += rowHeight;
    }
    setFixedHeight(int(std::ceil(heightOf(shown))));
    update();
}

void DropdownCard::setPresentation(qreal newOpacity, qreal newScale, const QPointF& origin) {
    opacity = newOpacity;
    scale = newScale;
    scaleOrigin = origin;
    update();
}

std::optional<int> DropdownCard::rowAt(const QPointF& point) const {
    for (qsizetype i = 0; i < rows.size(); ++i)
        if (rows.at(i).contains(point))
            return int(i);
    return std::nullopt;
}

QRectF DropdownCard::rowRect(int index) const {
    return rows.value(index);
}

QColor DropdownCard::tint(const Dropdown::Option& option) const {
    return Palette::tint(option.tint.value_or(shown.tint));
}

void DropdownCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(opacity);
    painter.translate(scaleOrigin);
    painter.scale(scale, scale);
    painter.translate(-scaleOrigin);

    const QRectF bounds(0, 0, cardWidth, heightOf(shown));
    QPainterPath shape;
    shape.addRoundedRect(bounds.adjusted(0.25, 0.25, -0.25, -0.25), radius, radius);
    painter.fillPath(shape, cardFill());
    painter.strokePath(shape, QPen(Palette::white(0.09), 0.5));

    painter.setPen(QPen(Palette::white(0.07), 0.5));
    for (const qreal y : std::as_const(separators))
        painter.drawLine(QPointF(inset + separatorInset, y),
                         QPointF(cardWidth - inset - separatorInset, y));

    for (qsizetype i = 0; i < rows.size(); ++i)
        paintRow(painter, int(i));

    if (shown.note) {
        const qreal top = rows.isEmpty() ? inset : rows.last().bottom();
        const QRectF block(inset + separatorInset, top, cardWidth - 2 * (inset + separatorInset),
                           noteHeight);
        painter.setFont(Fonts::font(11));
        painter.setPen(Palette::secondaryText());
        painter.drawText(block, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, *shown.note);
    }
}

void DropdownCard::paintRow(QPainter& painter, int index) const {
    const Dropdown::Option& option = shown.options.at(index);
    const QRectF row = rows.at(index);
    const QColor color = tint(option);
    const bool selected = shown.selected == option.id;

    if (shown.highlighted == index) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Palette::white(0.07));
        painter.drawRoundedRect(row, rowRadius, rowRadius);
    }

    const QRectF disc(row.left() + rowLeading, row.center().y() - circle / 2, circle, circle);
    painter.setPen(Qt::NoPen);
    painter.setBrush(selected ? withAlpha(color, 0.16) : Palette::white(0.05));
    painter.drawEllipse(disc);
    if (const auto* symbol = std::get_if<Dropdown::Option::Symbol>(&option.icon)) {
        const qreal side = Icons::sideForText(11.5);
        Icons::paint(painter, QRectF(disc.center() - QPointF(side, side) / 2, QSizeF(side, side)),
                     symbol->name, color, QFont::DemiBold);
    } else {
        QPen pen(color, vaneStroke);
        pen.setCapStyle(Qt::RoundCap);
        const QRectF frame(disc.center() - QPointF(vaneWidth, vaneWidth) / 2,
                           QSizeF(vaneWidth, vaneWidth));
        Vane::paint(painter, frame, std::get<Dropdown::Option::Vane>(option.icon).aim, pen);
    }

    qreal right = row.right() - rowTrailing;
    if (selected) {
        const qreal side = Icons::sideForText(10.5);
        Icons::paint(painter, QRectF(right - side, row.center().y() - side / 2, side, side),
                     QStringLiteral("checkmark"), color, QFont::Bold);
        right -= side + spacing;
    }

    const qreal left = disc.right() + spacing;
    const qreal available = std::max<qreal>(0, right - left);
    const QFont titleFont = Fonts::font(13, QFont::Medium);
    const QFont detailFont = Fonts::font(10.5);
    const QFontMetricsF titleMetrics(titleFont);
    const QFontMetricsF detailMetrics(detailFont);
    const qreal textHeight = titleMetrics.height() + (option.detail ? detailMetrics.height() : 0);
    qreal top = row.center().y() - textHeight / 2;
    painter.setFont(titleFont);
    painter.setPen(Palette::primaryText());
    painter.drawText(QPointF(left, top + titleMetrics.ascent()),
                     titleMetrics.elidedText(option.title, Qt::ElideRight, available));
    if (option.detail) {
        top += titleMetrics.height();
        painter.setFont(detailFont);
        painter.setPen(Palette::secondaryText());
        painter.drawText(QPointF(left, top + detailMetrics.ascent()),
                         detailMetrics.elidedText(*option.detail, Qt::ElideRight, available));
    }
}

void DropdownCard::mouseMoveEvent(QMouseEvent* event) {
    if (const std::optional<int> row = rowAt(event->position()))
        model.picker().highlight(*row);
}

void DropdownCard::mousePressEvent(QMouseEvent* event) {
    pressed = event->button() == Qt::LeftButton ? rowAt(event->position()) : std::nullopt;
}

void DropdownCard::mouseReleaseEvent(QMouseEvent* event) {
    const std::optional<int> row = rowAt(event->position());
    const bool clicked = event->button() == Qt::LeftButton && row && row == pressed;
    pressed.reset();
    if (clicked)
        pick(*row);
}

void DropdownCard::pick(int index) {
    if (!model.picker().shown())
        return;
    // Closing drops the model's dropdown, pick action included: work from a copy.
    const Dropdown open = *model.picker().shown();
    if (index < 0 || index >= open.options.size())
        return;
    model.picker().close();
    if (open.pick)
        open.pick(open.options.at(index).id);
}
