#pragma once

#include "client/records.h"

#include <QDateTime>
#include <QList>

// The made-up units of demo mode, their capabilities and a day of room history.
namespace DemoData {
// Modes cool, fan, dry and auto, and heat when `heat` is true.
RemoteCapabilities caps(bool heat);
// Bedroom (on, with a timer 2,530 s after `now`), Office (off, air-quality readings) and an
// offline fan-only Living Room.
QList<Pod> pods(const QDateTime& now);
// 96 readings, one per 15 minutes over the day before `now`, around `base` degrees.
History history(double base, const QDateTime& now);
} // namespace DemoData
