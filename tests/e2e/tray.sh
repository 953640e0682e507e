#!/usr/bin/env bash
# tray.sh <alvore binary>: starts the app in demo mode, opens the panel with a click on its icon
# and the context menu with a right click over it, opens the settings window from the menu,
# switches its tab and closes it, opens and closes the panel by clicking, then quits from the
# context menu and expects a clean exit. Then it starts the app before the tray.
set -euo pipefail
source "$(dirname "$0")/desktop.sh"

# The app's marks (icon painted, press on the icon, panel painted) tell a failure's print-out
# whether a lost click reached the app.
ALVORE_TIMING_LOG=$work/timing.log "$app" --demo >"$work/app.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
until_true "the icon in the tray" has_icon
shown_windows() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l; }
menu_shown() { (($(shown_windows) > before_menu)); }
app_gone() { ! running "$app_pid"; }

# A right click on the icon over the open panel closes the panel and shows the menu.
click_icon 1
until_true "the panel to open" panel_shown
before_menu=$(($(shown_windows) - 1))
click_icon 3
until_true "the panel to close for the menu" panel_hidden
until_true "the context menu over the panel" menu_shown
# The menu opens with nothing highlighted; Up wraps to its last entry, "Quit Alvore", and the
# entry above it is "Settings…".
xdotool key Up Up Return
settings_window() { xdotool search --onlyvisible --name '^Alvore Settings$' 2>/dev/null | head -1; }
has_settings() { [[ -n $(settings_window) ]]; }
until_true "the settings window" has_settings
settings=$(settings_window)
# The tab bar's buttons are 84 pixels wide, centred, 10 from the top; "Presets" is the middle one.
xdotool mousemove --window "$settings" 280 35 click 1
stored_tab() { grep -qs '^settingsTab=presets$' "$XDG_CONFIG_HOME"/Brindlework/Alvore.conf; }
until_true "the Presets tab to be stored" stored_tab
xdotool windowfocus --sync "$settings" key ctrl+w
settings_closed() { ! has_settings; }
until_true "the settings window to close" settings_closed
app_gone && fail "closing the settings window ended the app"

click_icon 1
until_true "the panel to open" panel_shown
click_icon 1
until_true "the panel to close" panel_hidden
# The click that closed the panel must not open it again. The app handles clicks in turn, so
# once the menu of a later right click shows, that click is over.
before_menu=$(shown_windows)
click_icon 3
until_true "the context menu" menu_shown
panel_hidden || fail "the closing click opened the panel again"
xdotool key Up Return
until_true "the app to quit" app_gone
status=0
wait "$app_pid" || status=$?
((status == 0)) || fail "the app exited with $status"

# A tray that starts after the app (a bar launched beside it at login) takes the app in: the
# panel's window goes, and the icon's first click opens the panel.
kill "$tray_pid"
tray_gone() { ! has_tray; }
until_true "the tray to go" tray_gone
"$app" --demo >"$work/late-tray.log" 2>&1 &
pids+=("$!")
until_true "the panel as a window" panel_shown
start_tray
until_true "the icon in the late tray" has_icon
until_true "the window to go" panel_hidden
click_icon 1
until_true "the panel to open from the late tray" panel_shown
echo "passed"
