#pragma once

#include "client/records.h"
#include "model/dropdown.h"

#include <QRectF>

class AppModel;

// The dropdowns of a unit card, built from the unit's state at the moment they open. The
// dropdowns' pick actions change the unit through `model` at once (no debounce).
namespace Dropdowns {
// The ids of a unit's mode and airflow dropdowns: "mode." and "airflow." with the unit's id.
QString modeID(const QString& podID);
QString airflowID(const QString& podID);
// One row per mode the unit's remote offers, each tinted with its mode's accent.
QList<Dropdown::Option> modeOptions(const Pod& pod);
// Its id is modeID(); the current mode is selected while the unit is on.
Dropdown mode(AppModel& model, const Pod& pod, const QRectF& anchor);
// Its id is airflowID(): the swing values of the current mode, tinted with the unit's glow; while
// the unit is off, a note says the choice waits for it to be switched on.
Dropdown airflow(AppModel& model, const Pod& pod, const QRectF& anchor);
// Its id is sidewaysID(), "sideways." with the unit's id: the sideways swing values of the
// current mode, like airflow().
QString sidewaysID(const QString& podID);
Dropdown sideways(AppModel& model, const Pod& pod, const QRectF& anchor);
} // namespace Dropdowns
