#include "model/preset_book.h"

#include <algorithm>

namespace {
const auto cleanedUpKey = QStringLiteral("presets.unseeded");
constexpr qsizetype longestName = 40; // characters

// The names that presets built in by earlier versions carried.
bool wasBuiltIn(const Preset& preset) {
    return preset.name == u"Night" || preset.name == u"Dry" || preset.name.startsWith(u"Cool ");
}
} // namespace

PresetBook::PresetBook(QSettings& store, std::function<void()> changed)
    : store(store), changed(std::move(changed)), list(Preset::load(store)) {
}

void PresetBook::removeFormerBuiltIns() {
    if (store.value(cleanedUpKey).toBool())
        return;
    QList<Preset> kept = list;
    kept.removeIf(wasBuiltIn);
    set(std::move(kept));
    store.setValue(cleanedUpKey, true);
}

QList<Preset> PresetBook::of(const QString& podID) const {
    QList<Preset> own;
    std::copy_if(list.cbegin(), list.cend(), std::back_inserter(own),
                 [&podID](const Preset& preset) { return preset.podID == podID; });
    return own;
}

std::optional<Preset> PresetBook::active(const Pod& pod) const {
    if (!pod.isOn())
        return std::nullopt;
    for (const Preset& preset : of(pod.id)) {
        if (preset.matches(*pod.acState))
            return preset;
    }
    return std::nullopt;
}

void PresetBook::save(const QString& name, const Pod& pod) {
    if (!pod.acState)
        return;
    ACState state = *pod.acState;
    state.on = true;
    state.horizontalSwing.reset();
    state.light.reset();
    const QString trimmed = name.trimmed();
    const QString title =
        trimmed.isEmpty() ? Preset::describe(*pod.acState) : Preset::prefix(trimmed, longestName);
    QList<Preset> presets = list;
    presets.append({QUuid::createUuid(), pod.id, title, state});
    set(std::move(presets));
}

void PresetBook::rename(const QUuid& id, const QString& name) {
    QList<Preset> presets = list;
    const auto found = std::find_if(presets.begin(), presets.end(),
                                    [&id](const Preset& preset) { return preset.id == id; });
    if (found == presets.end())
        return;
    found->name = Preset::prefix(name, longestName);
    set(std::move(presets));
}

void PresetBook::remove(const QUuid& id) {
    QList<Preset> presets = list;
    presets.removeIf([&id](const Preset& preset) { return preset.id == id; });
    set(std::move(presets));
}

void PresetBook::move(const QUuid& id, int offset) {
    QList<Preset> presets = list;
    if (Preset::move(presets, id, offset))
        set(std::move(presets));
}

void PresetBook::set(QList<Preset> presets) {
    Preset::save(presets, store);
    if (presets == list)
        return;
    list = std::move(presets);
    changed();
}
