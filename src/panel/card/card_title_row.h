#pragma once

#include <QColor>
#include <QDateTime>
#include <QString>
#include <QWidget>
#include <optional>

class AppModel;
class CompactLabel;
class LineText;
class PowerSwitch;
class SmallChip;
class TimerBadge;

// The top row of a unit card: the number badge, the name (with a single unit also the panel
// menu and the status line), and on the right either "Offline" or the timer countdown, the
// room reading of a collapsed card and the power switch; while the filter is due, the chip "Clean
// the filter", whose menu ends the reminder. Every change of content may change whether the unit
// is the only one.
class CardTitleRow : public QWidget {
    Q_OBJECT
public:
    CardTitleRow(AppModel& model, const QString& podID, QWidget* parent = nullptr);

    struct Content {
        std::optional<int> number; // the badge, 1 to 9
        QString name;
        bool single = false; // the model holds exactly this unit
        bool usable = true;
        std::optional<QString> lastSeen; // "4m ago", for the tooltip of "Offline"
        std::optional<QDateTime> fireDate;
        std::optional<QString> roomReading; // shown while collapsed
        std::optional<QString> filterDue;   // the filter chip's tooltip, while the filter is due
        bool on = false;
        QColor glow;
    };
    void setContent(const Content& content);

protected:
    bool event(QEvent* event) override;

private:
    QWidget* badge;
    LineText* name;
    QWidget* menu;
    QWidget* statusLine;
    SmallChip* filter;
    CompactLabel* offline;
    TimerBadge* timer;
    LineText* room;
    PowerSwitch* power;
};
