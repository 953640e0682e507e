#pragma once

#include "client/records.h"

#include <QList>
#include <QString>
#include <variant>

// Finds the unit a person or a script means by a short text: its number in the list (from 1),
// its id, its room name, or the start of its room name, all but the id without regard to case.
namespace UnitLookup {
// The unit found, or a sentence saying why none was.
std::variant<Pod, QString> find(const QList<Pod>& pods, const QString& text);
} // namespace UnitLookup
