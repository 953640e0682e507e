# sway_desktop.sh: sourced first by the end-to-end tests on a Wayland desktop, with the test's
# arguments. Runs the test beside a headless sway (with its XWayland) and waybar, whose tray is
# the StatusNotifierItem host, on a session bus of its own, and gives the checks these tests
# share. A test adds the processes it starts to `pids`; they end with it.
#
# Sway refuses to run as root, so a test started by root runs again as `nobody`, from a copy of
# the app and of the test in a folder that account owns (the build tree may be out of its reach).
# The screenshots the test keeps are copied back to the folder the test was started in.
app=$1

# unusable <why>: a missing tool or account skips the test on a developer's machine; in CI,
# where scripts/setup installs them, it is a failure.
unusable() {
    if [[ ${CI:-} == true ]]; then
        echo "FAIL: $*"
        exit 1
    fi
    echo "skipped: $*"
    exit 77
}

if [[ -z ${ALVORE_E2E_SWAY:-} ]]; then
    for tool in sway swaymsg waybar grim Xwayland xdotool busctl jq dbus-run-session \
        setpriv; do
        command -v "$tool" >/dev/null || unusable "$tool is not installed"
    done
    as=()
    if ((EUID == 0)); then
        account=$(id -u nobody 2>/dev/null) || unusable "there is no account 'nobody' to run sway as"
        as=(setpriv --reuid="$account" --regid="$(id -g nobody)" --clear-groups)
    fi
    work=$(mktemp -d /tmp/alvore-sway.XXXXXX)
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/bin" "$work/home" "$work/config" "$work/state" "$work/data" "$work/cache"
    mkdir -m 0700 "$work/run"
    cp "$app" "$work/bin/alvore"
    cp "$0" "$(dirname "$0")/sway_desktop.sh" "$(dirname "$0")/waiting.sh" "$work/bin/"
    ((EUID == 0)) && chown -R "$account:$(id -g nobody)" "$work"
    status=0
    "${as[@]}" env -i PATH="$PATH" LANG=C.UTF-8 CI="${CI:-}" ALVORE_E2E_SWAY="$work" \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" \
        HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" \
        XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/run" \
        dbus-run-session -- "$work/bin/$(basename "$0")" "$work/bin/alvore" || status=$?
    for shot in "$work"/*.png; do
        [[ -e $shot ]] || continue
        cp "$shot" "$PWD/sway-$(basename "$shot")"
        echo "screenshot: $PWD/sway-$(basename "$shot")"
    done
    exit "$status"
fi

work=$ALVORE_E2E_SWAY
source "$(dirname "$0")/waiting.sh"
pids=()
cleanup() {
    local i
    trap - ERR
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do # the app before the bar before the compositor
        kill "${pids[i]}" 2>/dev/null || true
    done
    # Waybar leaves its modules' commands running when it ends.
    [[ -e $work/watch.pids ]] && xargs kill <"$work/watch.pids" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT
# A check that fails on its own, outside a condition, prints the logs too.
set -E
trap 'fail "line $LINENO of $(basename "$0") failed"' ERR

# fail <why>: ends the test, printing every log of the run.
fail() {
    echo "FAIL: $*"
    for log in "$work"/*.log; do
        [[ -e $log ]] && echo "--- $(basename "$log"):" && cat "$log"
    done
    echo "--- sway's windows:"
    windows || true
    exit 1
}

on_bus() { busctl --user status "$1" >/dev/null 2>&1; }

# The windows sway manages, one JSON object a line.
windows() {
    swaymsg -t get_tree | jq -c '.. | objects | select(.pid? and .type? != "workspace")
        | {name, app_id, shell, visible, width: .window_rect.width, focused}'
}
# The panel is a shown window named "Alvore" and 380 pixels wide. On Wayland sway manages it as
# an xdg_shell window. Through XWayland it is a popup that no window manager handles, so X11
# itself is asked.
panel_shown() {
    if [[ $1 == wayland ]]; then
        windows | grep '{"name":"Alvore",[^}]*"shell":"xdg_shell","visible":true,"width":380,' >/dev/null
        return
    fi
    local window
    for window in $(xdotool search --onlyvisible --name '^Alvore$' 2>/dev/null); do
        [[ $(xdotool getwindowgeometry "$window") == *"Geometry: 380x"* ]] && return 0
    done
    return 1
}
panel_hidden() { ! panel_shown "$1"; }
# The item the watcher knows, as "<bus name> <object path>".
registered_item() {
    busctl --user --json=short get-property org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems |
        jq -r '.data[0] // empty | sub("/"; " /")'
}
has_item() { [[ -n $(registered_item) ]]; }
# find_item: waits for an item to register and keeps where it and its menu are, in `item` (bus
# name and path) and `menu` (path).
find_item() {
    until_true "the item to register with the watcher" has_item
    read -ra item <<<"$(registered_item)"
    menu=$(item_property Menu | jq -r .)
}
# item_property <name>: one property of the item, as JSON.
item_property() {
    busctl --user --json=short get-property "${item[@]}" org.kde.StatusNotifierItem "$1" |
        jq -c .data
}
# item_call <method> <signature> <arguments...>
item_call() { busctl --user call "${item[@]}" org.kde.StatusNotifierItem "$@" >/dev/null; }
# The item's menu over com.canonical.dbusmenu, as the JSON of GetLayout.
menu_layout() {
    busctl --user --json=short call "${item[0]}" "$menu" com.canonical.dbusmenu GetLayout -- \
        iias 0 -1 0
}
# menu_labels: every label of the menu and its submenus, one a line, in order.
menu_labels() { menu_layout | jq -r '.. | .label? | .data? // empty'; }
# menu_id [<submenu label>] <entry label>: the id of an entry, in a submenu or anywhere.
menu_id() {
    local within='.'
    (($# == 2)) && within='select(.[1].label.data == $menu) | .[2][].data'
    menu_layout | jq --arg menu "$1" --arg entry "${!#}" '[.. | objects
        | select(.type? == "(ia{sv}av)") | .data | '"$within"'
        | select(.[1].label.data == $entry) | .[0]] | first'
}
# menu_click <id>: what the host sends when the user picks the entry.
menu_click() {
    busctl --user call "${item[0]}" "$menu" com.canonical.dbusmenu Event isvu "$1" clicked i 0 0 \
        >/dev/null
}

# Sway on a virtual output, drawing with the CPU. It writes where its clients find it.
cat >"$work/sway.conf" <<EOF
output HEADLESS-1 resolution 1280x800
xwayland enable
exec sh -c 'printf "%s\\n" "WAYLAND_DISPLAY=\$WAYLAND_DISPLAY" "DISPLAY=\$DISPLAY" "SWAYSOCK=\$SWAYSOCK" >$work/sway.env.part && mv $work/sway.env.part $work/sway.env'
EOF
WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway --config "$work/sway.conf" >"$work/sway.log" 2>&1 &
pids+=("$!")
until_true "sway" test -s "$work/sway.env"
set -a
# shellcheck disable=SC1091
source "$work/sway.env"
set +a

# Waybar along the top: its tray is the host and watcher; its custom module shows the reading.
printf '#!/bin/sh\necho $$ >>%s/watch.pids\nexec %s watch --format waybar\n' "$work" "$app" \
    >"$work/bin/watch"
chmod +x "$work/bin/watch"
cat >"$work/waybar.json" <<EOF
{
    "position": "top", "height": 26, "modules-right": ["custom/alvore", "tray"],
    "tray": { "icon-size": 18, "spacing": 4 },
    "custom/alvore": { "exec": "$work/bin/watch", "return-type": "json" }
}
EOF
NO_AT_BRIDGE=1 GTK_A11Y=none GSETTINGS_BACKEND=memory \
    waybar --config "$work/waybar.json" >"$work/waybar.log" 2>&1 &
pids+=("$!")
# Qt takes the watcher's part only when it is there as the tray icon is made.
until_true "waybar's watcher" on_bus org.kde.StatusNotifierWatcher
