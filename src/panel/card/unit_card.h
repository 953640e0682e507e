#pragma once

#include "client/records.h"
#include "panel/animation/spring.h"
#include "panel/style/paint_cache.h"

#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>

class AppModel;
class CardGlow;
class CardTitleRow;
class DropdownTrigger;
class Entrance;
class FanStepper;
class FoldOut;
class HistoryChart;
class LineText;
class CompactLabel;
class MoreToggle;
class ReadingsRow;
class TemperatureRow;

// The panel's view of one unit, found in the model by its id: the title row with the power
// switch; unless collapsed, the hero, readings, fan stepper, the fold-out section, the history
// chart and the glow with the airflow behind them. Every control calls the model.
class UnitCard : public QWidget {
    Q_OBJECT
public:
    UnitCard(AppModel& model, QString podID, int index, QWidget* parent = nullptr);

    QString podID() const;
    // The unit's 0-based place in the model's list.
    void setIndex(int value);
    // Only the title row shows: several units, this one off, no editor open, not expanded.
    bool isCollapsed() const;
    // Plays the staggered entrance again (the panel opened, the card folded or unfolded).
    void replayEntrance();

    // The title of a swing position where the unit's own titles do not apply.
    static QString swingTitle(const std::optional<QString>& position);

    // Whether the room is moving towards the target: a symbol and its tooltip.
    struct Progress {
        QString symbol;
        QString help;
        bool operator==(const Progress&) const = default;
    };
    static std::optional<Progress> progress(const Pod& pod);

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Presses anywhere in the card, its controls included, select the unit.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Plan;
    Plan plan(int width) const;
    void refresh();
    void showTitle(const Pod& pod, bool usable, const QColor& accent);
    void showReadings(const Pod& pod, const QColor& accent);
    void showGlow(const ACState& state, const QColor& accent, bool animate);
    void showOfflineRow(const Pod& pod);
    void relayout();
    void enter();
    void toggleExpanded();
    void watchPresses(QObject* object);

    AppModel& model;
    QString id;
    int index;
    bool expanded;
    bool collapsed = false;
    bool body = false; // usable and not collapsed: more than the title row shows
    bool offlineRow = false;
    bool single = false;
    PaintCache<bool> background; // by whether the unit is selected
    bool shownOnce = false;
    bool laying = false;
    std::optional<qint64> shownTargetOf; // the target the figure was last set to

    CardGlow* glow;
    CardTitleRow* title;
    QWidget* pill;
    DropdownTrigger* modeTrigger;
    TemperatureRow* temperature;
    ReadingsRow* readings;
    FanStepper* fan;
    MoreToggle* more;
    FoldOut* fold;
    QWidget* hairline;
    QWidget* chartHolder;
    HistoryChart* chart;
    QWidget* offline;
    CompactLabel* offlineText;
    LineText* offlineRoom;
    // In the order of the pieces: mode pill, figure, readings, controls, More, hairline, chart.
    std::array<Entrance*, 7> entrances{};
    Spring unfold{0.3, 0.85}; // 0 collapsed, 1 showing everything
    QTimer entering;
};
