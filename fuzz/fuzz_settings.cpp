#include "fuzz_decode.h"
#include "model/settings.h"

// The stored settings: a record that reads comes back unchanged from its own encoding.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<Settings> settings = Settings::fromJson(fuzzInput(data, size));
    if (settings)
        require(Settings::fromJson(settings->toJson()) == settings);
    return 0;
}
