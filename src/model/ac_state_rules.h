#pragma once

#include "client/records.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// The rules a unit's state keeps: what a change may ask of a unit, and what the service's
// answer to it means. Plain functions of their inputs.
namespace ACStateRules {

// Fits a state to what the unit offers in its mode: a mode it lacks becomes its current one
// (or its first), the target the nearest allowed value (a tie to the one listed first, none
// given the middle one), and each option one the mode offers.
ACState conform(ACState state, const Pod& pod);
// `value` when offered, else `preferring` when offered, else the first offered option.
std::optional<QString> pick(const std::optional<QString>& value,
                            const std::optional<QStringList>& options, const QString& preferring);
// The service's answer, completed with what was sent; horizontal swing and light are the
// answer's alone.
ACState fill(const ACState& answer, const ACState& sent);

// The minutes of a timer that fires at the next occurrence of `at`: a time already past means
// the same time a day later. Halves round away from zero; a moment ahead is a minute.
qint64 timerMinutes(const QDateTime& now, const QDateTime& at);

} // namespace ACStateRules
