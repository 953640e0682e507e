#pragma once

class QWidget;

// The moments a user waits through, written for scripts/bench to the file that the environment
// variable ALVORE_TIMING_LOG names, one "<mark> <microseconds>" line each on the monotonic
// clock: "process" (the process began, to the kernel's 10 ms tick), "main" (main() began),
// "icon" (the tray icon's first paint), "click" (a press on the tray icon arrived) and "frame"
// (the panel's first frame after that press is painted). Without the variable it does nothing
// and watches nothing.
namespace TimingLog {

// Called first thing in main(): notes the process's start and main()'s.
void begin();
// Watches the tray icon's and `panel`'s events from now on.
void watch(QWidget& panel);

} // namespace TimingLog
