#include "fuzz_decode.h"

// The unit's timer: a fire date, when there is one, is a valid time.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<PodTimer> timer = decodeAnswer<PodTimer>(fuzzInput(data, size));
    if (timer && timer->fireDate)
        require(timer->fireDate->isValid());
    return 0;
}
