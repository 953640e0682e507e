#include "panel/card/timer_badge.h"

#include "model/app_model.h"
#include "panel/style/fonts.h"
#include "panel/style/palette.h"
#include "panel/style/short_time.h"

#include <QLocale>

TimerBadge::TimerBadge(AppModel& model, QString podID, QWidget* parent)
    : CompactLabel(QStringLiteral("timer"), {}, parent), model(model), podID(std::move(podID)) {
    setFont(Fonts::font(11.5, QFont::Medium));
    setColor(Palette::secondaryText());
    setTabularDigits(true);
    seconds.setInterval(1000);
    connect(&seconds, &QTimer::timeout, this, &TimerBadge::tick);
    hide();
}

void TimerBadge::setFireDate(const std::optional<QDateTime>& date) {
    if (date != fireDate)
        reached = false;
    fireDate = date;
    setVisible(fireDate.has_value());
    if (!fireDate) {
        seconds.stop();
        return;
    }
    const QString at = QLocale().toString(fireDate->toLocalTime().time(), QLocale::ShortFormat);
    setToolTip(QStringLiteral("At %1. Cancel it under More.").arg(at));
    if (!seconds.isActive())
        seconds.start();
    // Only the timer's redraw tells the model: this runs while the model announces a change.
    showRemaining();
}

void TimerBadge::tick() {
    if (!fireDate)
        return;
    showRemaining();
    const bool now = model.now() >= *fireDate;
    const bool changed = now && !reached;
    reached = now;
    if (changed)
        model.features().timerFired(podID);
}

void TimerBadge::showRemaining() {
    setText(ShortTime::countdown(*fireDate, model.now()));
}
