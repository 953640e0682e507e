#pragma once

#include "client/records.h"

#include <QByteArray>
#include <QList>
#include <QSettings>
#include <QString>
#include <QUuid>
#include <optional>

// A named state saved from one unit, to be put back on that unit. The stored list lives as the
// bytes of one JSON array under "presets" in the user defaults store; its order is the order
// shown everywhere.
struct Preset {
    QUuid id;
    QString podID; // the unit it was saved from and applies to
    QString name;
    ACState state;

    bool operator==(const Preset&) const = default;

    // The stored list; empty when there is none or it does not decode whole (then the stored
    // value is kept aside, see loadStoredRecord).
    static QList<Preset> load(QSettings& store);
    static void save(const QList<Preset>& presets, QSettings& store);

    static QByteArray toJson(const QList<Preset>& presets);
    // Absent when an entry lacks a key, has a value of the wrong type or an id that is not a
    // UUID text.
    static std::optional<QList<Preset>> fromJson(const QByteArray& json);

    // A short text for a state, the default name: "Cool 22° · High".
    static QString describe(const ACState& state);
    // The first `count` user-perceived characters of `text`.
    static QString prefix(const QString& text, qsizetype count);

    // Whether a unit's state counts as this preset: mode, target and fan level agree wherever
    // the preset has them. Whether the unit is on is the caller's test.
    bool matches(const ACState& current) const;
    // Puts the preset's settings into `target`; horizontal swing and light stay.
    void applyTo(ACState& target) const;

    // Swaps the preset `id` with the one `offset` places away among the presets of its own
    // unit, leaving every other preset where it is. False when there is no such place.
    static bool move(QList<Preset>& presets, const QUuid& id, int offset);
};
