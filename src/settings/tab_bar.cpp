#include "settings/tab_bar.h"

#include "panel/style/fonts.h"
#include "panel/style/icons.h"
#include "panel/style/palette.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int buttonWidth = 84;
constexpr int buttonHeight = 50;
constexpr int margin = 10;

int indexOf(SettingsTab tab) {
    return int(SettingsTabs::all().indexOf(tab));
}

} // namespace

TabBar::TabBar(SettingsTab selected, QWidget* parent) : QWidget(parent), current(selected) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    capsule.setValue(indexOf(selected));
    connect(&capsule, &Animation::valueChanged, this, qOverload<>(&QWidget::update));
}

QSize TabBar::sizeHint() const {
    return {int(SettingsTabs::all().size()) * buttonWidth, buttonHeight + 2 * margin};
}

QRect TabBar::buttonRect(SettingsTab tab) const {
    const int count = int(SettingsTabs::all().size());
    const int left = (width() - count * buttonWidth) / 2;
    return {left + indexOf(tab) * buttonWidth, margin, buttonWidth, buttonHeight};
}

void TabBar::select(SettingsTab tab) {
    if (tab == current)
        return;
    current = tab;
    capsule.animateTo(indexOf(tab));
    update();
    Q_EMIT selectedChanged(tab);
}

void TabBar::mouseReleaseEvent(QMouseEvent* event) {
    for (const SettingsTab tab : SettingsTabs::all())
        if (buttonRect(tab).contains(event->position().toPoint()))
            select(tab);
}

void TabBar::keyPressEvent(QKeyEvent* event) {
    const QList<SettingsTab> tabs = SettingsTabs::all();
    const int step = event->key() == Qt::Key_Left ? -1 : event->key() == Qt::Key_Right ? 1 : 0;
    const int next = indexOf(current) + step;
    if (step == 0 || next < 0 || next >= tabs.size())
        return QWidget::keyPressEvent(event);
    select(tabs.at(next));
}

void TabBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF first = buttonRect(SettingsTabs::all().first());
    const QRectF place = first.translated(capsule.value() * buttonWidth, 0).adjusted(4, 0, -4, 0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::white(0.1));
    painter.drawRoundedRect(place, place.height() / 2, place.height() / 2);

    const QFont font = Fonts::font(11.5, QFont::Medium);
    painter.setFont(font);
    for (const SettingsTab tab : SettingsTabs::all()) {
        const QRectF button = buttonRect(tab);
        const QColor color = tab == current ? Palette::cool() : Palette::secondaryText();
        const QRectF icon(button.center().x() - 10, button.top() + 7, 20, 20);
        Icons::paint(painter, icon, SettingsTabs::symbol(tab), color, QFont::DemiBold);
        painter.setPen(tab == current ? Palette::primaryText() : Palette::secondaryText());
        painter.drawText(button.adjusted(0, 30, 0, -4), Qt::AlignHCenter | Qt::AlignTop,
                         SettingsTabs::title(tab));
    }
}
