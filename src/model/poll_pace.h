#pragma once

#include <QtGlobal>
#include <chrono>

// How long the polling loop waits after a refresh.
namespace PollPace {

// 15 s while the panel is open, else the settings' interval (1 s to a year); each consecutive
// failure doubles the wait (of at most 300 s), up to 300 s.
std::chrono::seconds delay(bool panelOpen, qint64 closedInterval, int failures);

} // namespace PollPace
