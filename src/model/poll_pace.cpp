#include "model/poll_pace.h"

#include <algorithm>

namespace {
constexpr qint64 panelOpenInterval = 15; // seconds between polls while the panel is open
constexpr qint64 longestDelay = 300;     // after failures, in seconds
constexpr int maxBackoffExponent = 5;
} // namespace

namespace PollPace {

std::chrono::seconds delay(bool panelOpen, qint64 closedInterval, int failures) {
    // A stored interval of zero or less would poll without pause; a year is plenty.
    const qint64 base =
        panelOpen ? panelOpenInterval : std::clamp<qint64>(closedInterval, 1, qint64(365) * 86'400);
    if (failures <= 0)
        return std::chrono::seconds(base);
    const qint64 doubled = std::min(base, longestDelay) << std::min(failures, maxBackoffExponent);
    return std::chrono::seconds(std::min(doubled, longestDelay));
}

} // namespace PollPace
