#include "panel/card/card_title_row.h"

#include "model/app_model.h"
#include "panel/card/timer_badge.h"
#include "panel/common/panel_menu.h"
#include "panel/common/status_line.h"
#include "panel/controls/compact_label.h"
#include "panel/controls/line_text.h"
#include "panel/controls/power_switch.h"
#include "panel/controls/small_chip.h"
#include "panel/style/fonts.h"
#include "panel/style/paint_cache.h"
#include "panel/style/palette.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The unit's number key, in a small rounded frame.
class NumberBadge : public QWidget {
public:
    explicit NumberBadge(QWidget* parent) : QWidget(parent) {
        setFixedSize(16, 16);
        setFont(Fonts::font(10, QFont::DemiBold));
    }
    void setNumber(int value) {
        number = value;
        setToolTip(QStringLiteral("Press %1 to pick this unit").arg(value));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        picture.paint(*this, number, [&](QPainter& painter) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(Palette::white(0.25), 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
            painter.setPen(Palette::secondaryText());
            painter.drawText(QRectF(rect()), Qt::AlignCenter, QString::number(number));
        });
    }

private:
    int number = 0;
    PaintCache<int> picture;
};

} // namespace

CardTitleRow::CardTitleRow(AppModel& model, const QString& podID, QWidget* parent)
    : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    badge = new NumberBadge(this);
    row->addWidget(badge);

    // The menu and the status line show only while the unit is the only one.
    auto* holder = new QWidget(this);
    auto* column = new QVBoxLayout(holder);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto* line = new QHBoxLayout;
    line->setSpacing(4);
    name = new LineText(Fonts::font(13, QFont::DemiBold), Palette::primaryText(), holder);
    line->addWidget(name, 0);
    menu = new PanelMenu(model, true, holder);
    line->addWidget(menu, 0);
    line->addStretch(1);
    column->addLayout(line);
    statusLine = new StatusLine(model, holder);
    column->addWidget(statusLine);
    row->addWidget(holder, 1);

    filter = new SmallChip(QStringLiteral("Clean the filter"), this);
    filter->setSymbol(QStringLiteral("sparkles"));
    filter->setAction([this, &model, podID] {
        auto* menu = new QMenu(filter);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        connect(menu->addAction(QStringLiteral("Done")), &QAction::triggered, &model,
                [&model, podID] { model.features().filterCleaned(podID); });
        menu->popup(filter->mapToGlobal(QPoint(0, filter->height() + 2)));
    });
    row->addWidget(filter);

    offline = new CompactLabel(QStringLiteral("wifi.slash"), QStringLiteral("Offline"), this);
    offline->setFont(Fonts::font(12, QFont::Medium));
    offline->setColor(Palette::secondaryText());
    row->addWidget(offline);

    timer = new TimerBadge(model, podID, this);
    row->addWidget(timer);

    room = new LineText(Fonts::font(12.5, QFont::Medium), Palette::secondaryText(), this);
    room->setTabularDigits(true);
    room->setToolTip(QStringLiteral("Room temperature"));
    row->addWidget(room);

    power = new PowerSwitch(this);
    power->setAction([&model, podID] { model.togglePower(podID); });
    row->addWidget(power);
}

bool CardTitleRow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // A label's size changed: the card sizes this row from its hint.
    if (event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return handled;
}

void CardTitleRow::setContent(const Content& content) {
    badge->setVisible(content.number.has_value());
    if (content.number)
        static_cast<NumberBadge*>(badge)->setNumber(*content.number);
    name->setText(content.name);
    menu->setVisible(content.single);
    statusLine->setVisible(content.single);

    filter->setVisible(content.filterDue.has_value());
    filter->setHelp(content.filterDue.value_or(QString()));
    filter->setAccessibleName(QStringLiteral("Clean the filter, ") + content.name);

    offline->setVisible(!content.usable && !content.single);
    offline->setToolTip(content.lastSeen ? QStringLiteral("Last seen ") + *content.lastSeen
                                         : QString());

    const bool controls = content.usable || content.single;
    timer->setFireDate(controls ? content.fireDate : std::nullopt);
    room->setVisible(controls && content.roomReading.has_value());
    room->setText(content.roomReading.value_or(QString()));
    power->setVisible(controls);
    power->setAccessibleName(QStringLiteral("Power, ") + content.name);
    power->setOn(content.on);
    power->setTint(content.glow);
}
