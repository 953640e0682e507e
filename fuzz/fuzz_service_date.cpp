#include "fuzz_decode.h"

// The service's date texts: a text that reads gives a valid time in UTC.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(fuzzInput(data, size));
    try {
        const QDateTime time = decodeServiceDate(text, fuzzContext({}));
        require(time.isValid() && time.timeSpec() == Qt::UTC);
    } catch (const DecodeError&) {
    }
    return 0;
}
