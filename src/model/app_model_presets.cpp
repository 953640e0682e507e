#include "model/app_model.h"

#include <algorithm>

namespace {
const auto cleanedUpKey = QStringLiteral("presets.unseeded");
constexpr qsizetype longestName = 40; // characters

// The names that presets built in by earlier versions carried.
bool wasBuiltIn(const Preset& preset) {
    return preset.name == u"Night" || preset.name == u"Dry" || preset.name.startsWith(u"Cool ");
}
} // namespace

void AppModel::removeFormerBuiltInPresets() {
    QSettings& store = deps.store;
    if (store.value(cleanedUpKey).toBool())
        return;
    QList<Preset> kept = presetList;
    kept.removeIf(wasBuiltIn);
    setPresets(std::move(kept));
    store.setValue(cleanedUpKey, true);
}

QList<Preset> AppModel::presets(const QString& podID) const {
    QList<Preset> own;
    std::copy_if(presetList.cbegin(), presetList.cend(), std::back_inserter(own),
                 [&podID](const Preset& preset) { return preset.podID == podID; });
    return own;
}

std::optional<Preset> AppModel::activePreset(const Pod& pod) const {
    if (!pod.isOn())
        return std::nullopt;
    for (const Preset& preset : presets(pod.id)) {
        if (preset.matches(*pod.acState))
            return preset;
    }
    return std::nullopt;
}

void AppModel::savePreset(const QString& name, const QString& podID) {
    const std::optional<Pod> unit = pod(podID);
    if (!unit || !unit->acState)
        return;
    ACState state = *unit->acState;
    state.on = true;
    state.horizontalSwing.reset();
    state.light.reset();
    const QString trimmed = name.trimmed();
    const QString title =
        trimmed.isEmpty() ? Preset::describe(*unit->acState) : Preset::prefix(trimmed, longestName);
    QList<Preset> presets = presetList;
    presets.append({QUuid::createUuid(), podID, title, state});
    setPresets(std::move(presets));
}

void AppModel::renamePreset(const QUuid& id, const QString& name) {
    QList<Preset> presets = presetList;
    const auto found = std::find_if(presets.begin(), presets.end(),
                                    [&id](const Preset& preset) { return preset.id == id; });
    if (found == presets.end())
        return;
    found->name = Preset::prefix(name, longestName);
    setPresets(std::move(presets));
}

void AppModel::deletePreset(const QUuid& id) {
    QList<Preset> presets = presetList;
    presets.removeIf([&id](const Preset& preset) { return preset.id == id; });
    setPresets(std::move(presets));
}

void AppModel::movePreset(const QUuid& id, int offset) {
    QList<Preset> presets = presetList;
    if (Preset::move(presets, id, offset))
        setPresets(std::move(presets));
}

void AppModel::apply(const Preset& preset) {
    change(preset.podID, false, [&preset](ACState& state) { preset.applyTo(state); });
}

void AppModel::setPresets(QList<Preset> presets) {
    Preset::save(presets, deps.store);
    if (presets == presetList)
        return;
    presetList = std::move(presets);
    Q_EMIT presetsChanged();
}
