#include "fuzz_decode.h"

// The room's history of readings: every point that decodes has a valid time.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<History> history = decodeAnswer<History>(fuzzInput(data, size));
    if (!history)
        return 0;
    for (const QList<History::Point>* points : {&history->temperature, &history->humidity}) {
        for (const History::Point& point : *points)
            require(point.time.isValid());
    }
    return 0;
}
