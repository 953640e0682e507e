#pragma once

#include "client/records.h"

#include <QString>

// What the card, the tray and the desktop notification say of a filter that is due.
namespace FilterReminder {

// "Ran 2439 hours since the last cleaning on 12/03/2022" (the date in the locale's short form),
// leaving out the part the service did not report; empty when it reported neither.
QString usage(const FiltersCleaning& filters);

} // namespace FilterReminder
