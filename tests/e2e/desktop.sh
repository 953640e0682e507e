# desktop.sh: sourced by the end-to-end tests. A virtual screen with a real XEmbed tray, and the
# checks they share. The caller sets `work` (a scratch folder) and `deadline` (in SECONDS).

for tool in Xvfb trayer xdotool xwininfo; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed"
        exit 77
    fi
done

xvfb_pid="" tray_pid=""

# until_true <what> <command...>: runs the command every 0.1 s until it succeeds, failing the
# test when the deadline passes first.
until_true() {
    local what=$1
    shift
    until "$@"; do
        if ((SECONDS >= deadline)); then
            echo "FAIL: timed out waiting for $what"
            for log in "$work"/*.log; do
                [[ -e $log ]] && echo "--- $(basename "$log"):" && cat "$log"
            done
            if [[ -n $tray_pid ]] && ! kill -0 "$tray_pid" 2>/dev/null; then
                echo "the tray has exited"
            fi
            exit 1
        fi
        sleep 0.1
    done
}

# Starts the screen and the tray, and points the app's folders into `work`.
start_desktop() {
    # A screen on the first free display; Xvfb writes the display number it took.
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    until_true "the virtual screen" test -s "$work/display"
    export DISPLAY=:$(cat "$work/display")
    trayer --edge top --align right --widthtype request --height 24 >"$work/trayer.log" 2>&1 &
    tray_pid=$!
    until_true "the tray" has_tray
    export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state \
        XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache QT_QPA_PLATFORM=xcb
    mkdir -p "$HOME"
}

stop_desktop() {
    for pid in $tray_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
    done
}

tray_window() { xwininfo -root -children | awk '/"panel"/ { print $1; exit }'; }
has_tray() { [[ -n $(tray_window) ]]; }
# The app's icons: its windows that the tray has taken in.
icon_windows() { xwininfo -tree -id "$(tray_window)" | awk '/\("alvore" "Alvore"\)/ { print $1 }'; }
icon_count() { icon_windows | wc -l; }
has_icon() { (($(icon_count) > 0)); }
click_icon() { xdotool mousemove --window "$(icon_windows | head -n 1)" 8 8 click "$1"; }
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
