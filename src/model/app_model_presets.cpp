#include "model/app_model.h"

void AppModel::apply(const Preset& preset) {
    change(preset.podID, false, [&preset](ACState& state) { preset.applyTo(state); });
}
