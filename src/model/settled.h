#pragma once

#include <QString>
#include <functional>
#include <optional>

// What became of a request to the service: nothing once the service has carried it out, or
// the banner's text saying why not.
using Settled = std::function<void(const std::optional<QString>& failure)>;
