#pragma once

class AppModel;
class SettingsWindowController;

// Pictures of the app's look without a person, a key or a network: started with
// "--render-previews", the app drives the demo model through a fixed series of states and
// writes the tray icons, the panel in each state, the two dropdowns, eight frames of the
// airflow and the three settings tabs as PNG files into a fresh "previews" folder under the
// app's data folder. It prints that folder's path as its last line and quits with status 0.
// A picture that cannot be made is reported on its own line and the run goes on. The run changes
// the settings, the settings tab and a fold-out state as it goes: `model` must work on a scratch
// copy of the store (ScratchStore), never on the user's.
namespace Previews {

// Writes the icon sheet at once and the rest over about 22 seconds of the running event
// loop; returns at once. `model` must be in demo mode.
void run(AppModel& model, SettingsWindowController& settingsWindow);

} // namespace Previews
