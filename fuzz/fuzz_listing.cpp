#include "fuzz_decode.h"

#include <QJsonDocument>

// The unit listing, light or full, and the id-only listing that checks a key. A state that
// decodes must come back unchanged from its own encoding, since that encoding is what is sent.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray body = fuzzInput(data, size);
    decodeAnswer<QList<Pod::IDOnly>>(body);
    const std::optional<QList<Pod>> pods = decodeAnswer<QList<Pod>>(body);
    if (!pods)
        return 0;
    for (const Pod& pod : *pods) {
        if (!pod.acState)
            continue;
        const QJsonDocument encoded = QJsonDocument::fromJson(encodeJson(*pod.acState));
        require(encoded.isObject());
        require(decodeJson<ACState>(encoded.object(), fuzzContext({})) == *pod.acState);
    }
    return 0;
}
