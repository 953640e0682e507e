#!/usr/bin/env bash
# accessibility.sh <alvore binary>: runs the demo app with the accessibility bus as a screen
# reader finds it, opens the panel from the tray icon and reads it over AT-SPI: the panel window
# is under the application, every interactive object has a name and a proper role (the tree is
# printed), the target's value steps the unit's target, the mode dropdown opens as a list, and
# the power switch's action turns the unit off, as `alvore status` shows. Then the context menu
# and the settings window.
set -euo pipefail
tree=$(dirname "$0")/accessibility_tree.py
launcher=/usr/libexec/at-spi-bus-launcher
if [[ -z ${ALVORE_E2E_OWN_BUS:-} ]]; then
    missing=
    [[ -x $launcher ]] || missing="at-spi2-core"
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || missing="python3-pyatspi"
    if [[ -n $missing ]]; then
        [[ ${CI:-} == true ]] && echo "FAIL: $missing is not installed" && exit 1
        echo "skipped: $missing is not installed" && exit 77
    fi
fi
source "$(dirname "$0")/desktop.sh"

# The bus a screen reader and the app meet on, found through this session bus.
"$launcher" --launch-immediately >"$work/a11y-bus.log" 2>&1 &
pids+=("$!")
a11y_bus() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null 2>&1
}
until_true "the accessibility bus" a11y_bus

read_tree() { /usr/bin/python3 "$tree" "$@"; }
has() { read_tree has "$1" 2>/dev/null; }
# Not through `grep -q`, which leaves before the app's output ends: the app's broken pipe would
# fail the check under pipefail.
status_says() { [[ $("$app" status 2>/dev/null) == *"$1"* ]]; }
# dump <what>: prints the tree, failing on an unnamed interactive object.
dump() {
    echo "--- the tree with $1:"
    read_tree dump >"$work/tree" 2>&1 || { cat "$work/tree" && fail "the tree with $1"; }
    cat "$work/tree"
}

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$app" --demo >"$work/app.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
until_true "the icon in the tray" has_icon

click_icon 1
until_true "the panel to open" panel_shown
until_true "the panel popup in the tree" has Alvore
dump "the panel open"

status_says "1 Bedroom  on  Cool 22°C" || fail "the demo's Bedroom: $("$app" status)"
read_tree set-value "Target temperature, Bedroom" 23 || fail "setting the target's value"
until_true "the target set through AT-SPI" status_says "1 Bedroom  on  Cool 23°C"
# The mode trigger's action opens its dropdown, a list of the modes; picking the current one
# closes it.
read_tree press "Change mode" || fail "the mode trigger's action"
until_true "the mode dropdown in the tree" has Mode
dump "the mode dropdown open"
read_tree press Cool || fail "the Cool row's action"
until_true "the mode dropdown to close" eval '! has Mode'
read_tree press "Power, Bedroom" || fail "the power switch's action"
until_true "the unit turned off through AT-SPI" status_says "1 Bedroom  off"

# A right click on the icon over the open panel shows the context menu; "Settings…" is the entry
# above the last one.
click_icon 3
until_true "the panel to close for the menu" panel_hidden
until_true "the context menu in the tree" has "Open Alvore"
dump "the context menu open"
xdotool key Up Up Return
until_true "the settings window in the tree" has "Alvore Settings"
dump "the settings window open"
echo "passed"
