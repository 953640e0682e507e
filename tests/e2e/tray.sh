#!/usr/bin/env bash
# tray.sh <alvore binary>: starts the app in demo mode on a virtual screen beside a real XEmbed
# tray, clicks its icon to open and to close the panel, opens the settings window from the icon's
# context menu (shown by a right click while the panel is open), switches its tab and closes it,
# then quits from the context menu and expects a clean exit.
set -euo pipefail
app=$1

for tool in Xvfb trayer xdotool xwininfo; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed"
        exit 77
    fi
done

work=$(mktemp -d /tmp/alvore-e2e.XXXXXX)
xvfb_pid="" tray_pid="" app_pid=""
cleanup() {
    for pid in $app_pid $tray_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Each step waits for its own condition up to a deadline of its own, generous enough for a
# loaded machine and the sanitizer build.
step_seconds=60
# until_true <what> <command...>: runs the command every 0.1 s until it succeeds, failing the
# test when the step's deadline passes first.
until_true() {
    local what=$1 started=$SECONDS
    shift
    until "$@"; do
        if ((SECONDS - started >= step_seconds)); then
            echo "FAIL: waited ${step_seconds} s for $what (${SECONDS} s into the test)"
            echo "--- windows:" && { xwininfo -root -tree 2>/dev/null | grep -i alvore || true; }
            echo "--- app output:" && cat "$work/app.log" 2>/dev/null
            exit 1
        fi
        sleep 0.1
    done
}

# A screen on the first free display; Xvfb writes the display number it took.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
until_true "the virtual screen" test -s "$work/display"
export DISPLAY=:$(cat "$work/display")

trayer --edge top --align right --widthtype request --height 24 >"$work/trayer.log" 2>&1 &
tray_pid=$!
tray_window() { xwininfo -root -children | awk '/"panel"/ { print $1; exit }'; }
has_tray() { [[ -n $(tray_window) ]]; }
until_true "the tray" has_tray

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state \
    XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache QT_QPA_PLATFORM=xcb
mkdir -p "$HOME"
"$app" --demo >"$work/app.log" 2>&1 &
app_pid=$!

# The icon is the app's window that the tray has taken in.
icon_window() { xwininfo -tree -id "$(tray_window)" | awk '/\("alvore" "Alvore"\)/ { print $1; exit }'; }
has_icon() { [[ -n $(icon_window) ]]; }
until_true "the icon in the tray" has_icon
icon=$(icon_window)
# The panel is the app's shown window named "Alvore" that is 380 pixels wide (the menu and the
# icon carry the app's name too).
panel_shown() {
    local window
    for window in $(xdotool search --onlyvisible --name '^Alvore$' 2>/dev/null); do
        [[ $(xdotool getwindowgeometry "$window") == *"Geometry: 380x"* ]] && return 0
    done
    return 1
}
panel_hidden() { ! panel_shown; }
shown_windows() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l; }
menu_shown() { (($(shown_windows) > before_menu)); }
app_gone() { ! kill -0 "$app_pid" 2>/dev/null; }
click_icon() { xdotool mousemove --window "$icon" 8 8 click "$1"; }

click_icon 1
until_true "the panel to open" panel_shown
click_icon 1
until_true "the panel to close" panel_hidden
# The click that closed the panel must not open it again.
for _ in 1 2 3 4 5; do
    sleep 0.1
    if panel_shown; then
        echo "FAIL: the closing click opened the panel again"
        exit 1
    fi
done

# The menu opens with nothing highlighted; Up wraps to its last entry, "Quit Alvore", and the
# entry above it is "Settings…".
open_menu() {
    before_menu=$(shown_windows)
    click_icon 3
    until_true "the context menu" menu_shown
}
# A right click on the icon while the panel is open shows the menu, and the panel closes.
click_icon 1
until_true "the panel to open" panel_shown
before_menu=$(($(shown_windows) - 1))
click_icon 3
until_true "the panel to close for the menu" panel_hidden
until_true "the context menu over the panel" menu_shown
xdotool key Up Up Return
settings_window() { xdotool search --onlyvisible --name '^Alvore Settings$' 2>/dev/null | head -1; }
has_settings() { [[ -n $(settings_window) ]]; }
until_true "the settings window" has_settings
settings=$(settings_window)
if [[ $(xdotool getwindowgeometry "$settings") != *"Geometry: 560x560"* ]]; then
    echo "FAIL: the settings window is not 560x560"
    xdotool getwindowgeometry "$settings"
    exit 1
fi
# The tab bar's buttons are 84 pixels wide, centred, 10 from the top; "Presets" is the middle one.
xdotool mousemove --window "$settings" 280 35 click 1
stored_tab() { grep -qs '^settingsTab=presets$' "$XDG_CONFIG_HOME"/Brindlework/Alvore.conf; }
until_true "the Presets tab to be stored" stored_tab
xdotool windowfocus --sync "$settings" key ctrl+w
settings_closed() { ! has_settings; }
until_true "the settings window to close" settings_closed
if app_gone; then
    echo "FAIL: closing the settings window ended the app"
    cat "$work/app.log"
    exit 1
fi

open_menu
xdotool key Up Return
until_true "the app to quit" app_gone
status=0
wait "$app_pid" || status=$?
app_pid=""
if ((status != 0)); then
    echo "FAIL: the app exited with $status"
    cat "$work/app.log"
    exit 1
fi
echo "passed"
