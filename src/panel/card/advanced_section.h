#pragma once

#include "model/dropdown.h"
#include "panel/animation/spring.h"

#include <QList>
#include <QString>
#include <QTimer>
#include <QUuid>
#include <QWidget>
#include <optional>

class AppModel;
class ChipFlow;
class DropdownTrigger;
class PowerSwitch;
struct Pod;
class QLabel;
class QLineEdit;
class QTimeEdit;

// A unit card's fold-out section: the airflow and sideways dropdown triggers, the light chips,
// the Climate React switch, the timer chips or the running timer, the preset chips, and the
// inline editor for a new preset or a timer at a set time.
class AdvancedSection : public QWidget {
    Q_OBJECT
public:
    AdvancedSection(AppModel& model, QString podID, QWidget* parent = nullptr);

    // One of the inline editors is open (a card with an open editor never collapses).
    bool hasEditor() const;

    // The natural height at the current width (the chip rows wrap when they run out of room).
    QSize sizeHint() const override;

    // The unit's Climate React rule in words, thresholds in the user's unit `unit` ("C" or
    // "F"): "Keeps Bedroom between 15° and 29° by feel".
    static QString climateReactRule(const Pod& pod, const QString& unit);

Q_SIGNALS:
    void editorChanged();

private:
    enum class Editor { preset, timer };

    // What the chip rows show; they are rebuilt only when it changes.
    struct TimerChips {
        bool running = false;
        bool turnsOn = false; // the running timer switches the unit on
        bool unitOn = false;
        bool operator==(const TimerChips&) const = default;
    };
    struct PresetChip {
        QUuid id;
        QString name;
        QString help;
        bool active = false;
        bool operator==(const PresetChip&) const = default;
    };

    using DropdownBuilder = Dropdown (*)(AppModel&, const Pod&, const QRectF&);
    // A labelled row holding a dropdown trigger, made into `trigger`.
    QWidget* dropdownRow(const QString& title, const QString& dropdownID, const QString& help,
                         DropdownBuilder build, DropdownTrigger*& trigger);
    QWidget* makePresetEditor();
    QWidget* makeTimerEditor();
    void refresh();
    void buildLightChips(const QStringList& values);
    void buildTimerChips(const TimerChips& chips);
    void buildPresetChips(const QList<PresetChip>& chips);
    void showCountdown();
    void presetMenu(const QUuid& id, const QPoint& globalPosition);
    void openEditor(std::optional<Editor> next);
    // Shows `shown` (0 to 1) of the open editor's height; a shut editor goes at 0.
    void revealEditor(double shown);
    void savePreset();
    void saveTimer();
    bool unitIsOn() const;

    AppModel& model;
    QString podID;
    std::optional<Editor> editor;

    QWidget* airflowRow;
    QWidget* reactRow;
    PowerSwitch* react; // shows what the model holds, which flips at once and back on a refusal
    DropdownTrigger* airflow;
    QWidget* sidewaysRow;
    DropdownTrigger* sideways;
    QWidget* lightRow;
    ChipFlow* lightFlow;
    QStringList lightValues; // one chip each, in this order
    ChipFlow* timerFlow;
    ChipFlow* presetFlow;
    QLabel* countdown = nullptr; // while a timer runs
    QWidget* presetEditor;
    QLineEdit* presetName;
    QWidget* timerEditor;
    QLabel* timerLabel;
    QTimeEdit* timerTime;

    std::optional<TimerChips> timerChips;
    std::optional<QList<PresetChip>> presetChips;
    QTimer ticker;             // redraws the countdown every second
    Spring reveal{0.22, 0.85}; // how much of the open editor shows
};
