#include "fuzz_decode.h"
#include "model/preset.h"

// The stored presets: a list that reads comes back unchanged from its own encoding.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<QList<Preset>> presets = Preset::fromJson(fuzzInput(data, size));
    if (presets)
        require(Preset::fromJson(Preset::toJson(*presets)) == presets);
    return 0;
}
