# desktop.sh: sourced first by the end-to-end tests, with the test's arguments. Runs the test on
# a session bus of its own beside a virtual screen with a real XEmbed tray, and gives the checks
# the tests share. A test adds the processes it starts to `pids`; they end with it.
app=$1

# A missing tool skips the test on a developer's machine; in CI it fails it.
for tool in dbus-run-session Xvfb trayer xdotool xwininfo python3; do
    command -v "$tool" >/dev/null && continue
    [[ ${CI:-} == true ]] && echo "FAIL: $tool is not installed" && exit 1
    echo "skipped: $tool is not installed" && exit 77
done
[[ -n ${ALVORE_E2E_OWN_BUS:-} ]] || ALVORE_E2E_OWN_BUS=1 exec dbus-run-session -- "$0" "$@"

source "$(dirname "$0")/waiting.sh"
work=$(mktemp -d /tmp/alvore-e2e.XXXXXX)
pids=()
cleanup() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do # the app before the tray before the screen
        kill "${pids[i]}" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# fail <why>: ends the test, printing every log of the run and every window on the screen (the
# app's are named "alvore"), and keeping a picture of the screen outside `work`.
fail() {
    echo "FAIL: $*"
    for log in "$work"/*.log; do
        [[ -e $log ]] && echo "--- $(basename "$log"):" && cat "$log"
    done
    [[ -n ${tray_pid:-} ]] && ! running "$tray_pid" && echo "the tray has exited"
    if [[ -n ${DISPLAY:-} ]]; then
        echo "--- windows:" && xwininfo -root -tree
        local picture=/tmp/$(basename "$0" .sh)-failed-$$.xwd
        command -v xwd >/dev/null && xwd -root -silent -out "$picture" &&
            echo "the screen is kept in $picture"
    fi
    exit 1
}


tray_window() { xwininfo -root -children | awk '/"panel"/ { print $1; exit }'; }
# The tray shows its window a moment before it owns the tray selection; an app that starts in
# between finds no tray and opens as a window.
has_tray() { [[ -n $(tray_window) ]] && "$(dirname "$0")/tray_selection.py"; }
# The app's icons: its windows that the tray has taken in.
icon_windows() { xwininfo -tree -id "$(tray_window)" | awk '/\("alvore" "Alvore"\)/ { print $1 }'; }
icon_count() { icon_windows | wc -l; }
# The first icon on the screen. A tray takes an icon in before it maps it, and a click in between
# lands on the tray itself.
shown_icon() {
    local window
    for window in $(icon_windows); do
        xwininfo -id "$window" | grep 'Map State: IsViewable' >/dev/null && echo "$window" && return 0
    done
    return 1
}
has_icon() { shown_icon >/dev/null; }
click_icon() { xdotool mousemove --window "$(shown_icon)" 8 8 click "$1"; }
# The panel is a shown window named "Alvore" that is 380 pixels wide (the menu and the icon
# carry the app's name too).
panel_shown() {
    local window
    for window in $(xdotool search --onlyvisible --name '^Alvore$' 2>/dev/null); do
        [[ $(xdotool getwindowgeometry "$window") == *"Geometry: 380x"* ]] && return 0
    done
    return 1
}
panel_hidden() { ! panel_shown; }

# A screen on the first free display (Xvfb writes the number it took), the tray, and the app's
# folders inside `work`.
# -noreset: by default the server starts afresh whenever its last client leaves, and a client
# that connects meanwhile is dropped; the checks' short-lived clients made the tray's start
# fail with "cannot open display" about one run in ten.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=("$!")
until_true "the virtual screen" test -s "$work/display"
export DISPLAY=:$(cat "$work/display")
start_tray() {
    trayer --edge top --align right --widthtype request --height 24 >>"$work/trayer.log" 2>&1 &
    tray_pid=$!
    pids+=("$tray_pid")
    until_true "the tray" has_tray
}
start_tray
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state \
    XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache QT_QPA_PLATFORM=xcb
mkdir -p "$HOME"
