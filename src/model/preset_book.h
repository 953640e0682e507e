#pragma once

#include "client/records.h"
#include "model/preset.h"

#include <QList>
#include <QSettings>
#include <QString>
#include <QUuid>
#include <functional>
#include <optional>

// The user's presets, in list order. Every change of the list is saved at once and told to
// `changed`.
class PresetBook {
public:
    PresetBook(QSettings& store, std::function<void()> changed);

    const QList<Preset>& all() const { return list; }
    // The presets of one unit, in list order.
    QList<Preset> of(const QString& podID) const;
    // The first preset of the unit that its state matches; none while the unit is off.
    std::optional<Preset> active(const Pod& pod) const;

    // Saves the unit's current settings, switched on; a blank name names it after the state.
    void save(const QString& name, const Pod& pod);
    void rename(const QUuid& id, const QString& name);
    void remove(const QUuid& id);
    // Moves the preset `offset` places among the presets of its own unit.
    void move(const QUuid& id, int offset);
    // Once: presets that used to be built in go from the stored list.
    void removeFormerBuiltIns();

private:
    void set(QList<Preset> presets);

    QSettings& store;
    std::function<void()> changed;
    QList<Preset> list;
};
