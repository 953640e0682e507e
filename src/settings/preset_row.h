#pragma once

#include "model/preset.h"

#include <QWidget>

class AppModel;
class QLabel;
class QLineEdit;
class RoundButton;

// One preset in the Presets tab: its mode's symbol, its name to edit in place, what it sets,
// and buttons to move it among its unit's presets or delete it.
class PresetRow : public QWidget {
    Q_OBJECT
public:
    PresetRow(AppModel& model, const Preset& preset, bool first, bool last,
              QWidget* parent = nullptr);

    QUuid presetID() const { return id; }
    // Shows the preset as the model now has it; the name being typed stays as it is.
    void showPreset(const Preset& preset);

    QLineEdit* nameField() const { return name; }
    RoundButton* moveUpButton() const { return up; }
    RoundButton* moveDownButton() const { return down; }
    RoundButton* deleteButton() const { return remove; }

private:
    AppModel& model;
    QUuid id;
    QLabel* symbol;
    QLineEdit* name;
    QLabel* description;
    RoundButton* up;
    RoundButton* down;
    RoundButton* remove;
};
