#pragma once

#include "panel/controls/compact_label.h"

#include <QDateTime>
#include <QTimer>
#include <optional>

class AppModel;

// The countdown to a unit's timer in its card's title row, redrawn every second from the
// model's clock. The first redraw that finds the fire time reached tells the model, once until
// the fire time changes or lies ahead again.
class TimerBadge : public CompactLabel {
    Q_OBJECT
public:
    TimerBadge(AppModel& model, QString podID, QWidget* parent = nullptr);

    // Shown only with a fire time.
    void setFireDate(const std::optional<QDateTime>& fireDate);
    // The once-a-second redraw.
    void tick();

private:
    void showRemaining();

    AppModel& model;
    QString podID;
    std::optional<QDateTime> fireDate;
    bool reached = false;
    QTimer seconds;
};
