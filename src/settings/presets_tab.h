#pragma once

#include "settings/tab_page.h"

#include <QList>
#include <QString>
#include <QUuid>
#include <utility>

class AppModel;
class PresetRow;

// The presets of every unit, a card per unit, to rename, reorder and delete.
class PresetsTab : public TabPage {
    Q_OBJECT
public:
    explicit PresetsTab(AppModel& model, QWidget* parent = nullptr);

    QList<PresetRow*> rows() const;

private:
    // Which units and presets are listed, in order, with each unit's display name.
    using Outline = QList<std::pair<QString, QList<QUuid>>>;
    Outline outline() const;
    // Lays the sections out anew when units or presets came, went or moved; otherwise updates
    // the rows in place, so that a name field keeps its focus and its text while typed in.
    void refresh();
    void build();

    AppModel& model;
    QWidget* sections = nullptr;
    Outline shown;
};
