#include "model/unit_features.h"

#include "model/app_model.h"

void UnitFeatures::keepShown(Pod& listed, const Pod* current) const {
    if (current && (!listed.filtersCleaning || filterClearings.contains(listed.id)))
        listed.filtersCleaning = current->filtersCleaning;
    if (const auto react = reactChanges.constFind(listed.id);
        react != reactChanges.cend() && listed.smartMode)
        listed.smartMode->enabled = react->wanted;
    const QDateTime now = model.now();
    if (!listed.timer && current && current->timer && current->timer->isPending(now))
        listed.timer = current->timer;
    if (listed.timer && !listed.timer->isPending(now))
        listed.timer.reset();
}

void UnitFeatures::forgetSession() {
    reactChanges.clear();
}
