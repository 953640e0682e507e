#!/usr/bin/env bash
# control.sh <alvore binary>: runs the demo app in the background (no tray icon, no window) and
# drives it with `alvore` commands as a script or a status bar would: status, a change, a refused
# change, watch, open, and a later start handing over.
set -euo pipefail
source "$(dirname "$0")/desktop.sh"

# expect <status> <command...>: runs an alvore command, keeping its output in $out and $err.
expect() {
    local wanted=$1 status=0
    shift
    "$app" "$@" >"$work/out" 2>"$work/err" || status=$?
    out=$(cat "$work/out") err=$(cat "$work/err")
    ((status == wanted)) || fail "alvore $* exited with $status, not $wanted: $out $err"
}
answers() { "$app" status >/dev/null 2>&1; }
watch_lines() { wc -l <"$work/watch"; }

expect 1 status
[[ $err == "alvore: Alvore is not running." ]] || fail "status without the app said: $err"

"$app" --demo --no-tray >"$work/app.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
until_true "the app to answer" answers
{ has_icon || panel_shown; } && fail "the background app shows an icon or a window"

# The interface file in the repository describes what the app serves.
shape() { grep -oE '<(method|signal|property|arg) [^>]*' | sed 's|/$||'; }
served=$(dbus-send --session --print-reply --dest=com.brindlework.Alvore /com/brindlework/Alvore \
    org.freedesktop.DBus.Introspectable.Introspect |
    sed -n '/"com.brindlework.Alvore1"/,/<\/interface>/p' | shape)
described=$(shape <"$(dirname "$0")/../../data/com.brindlework.Alvore1.xml")
[[ -n $served && $served == "$described" ]] ||
    fail "the interface file differs from the served interface: $(diff <(echo "$served") <(echo "$described"))"

expect 0 status --json
[[ $out == *'"id":"demo1"'*'"id":"demo2"'*'"id":"demo3"'* && $out == *'"state":"demo"'* ]] ||
    fail "status --json lacks a unit or the state: $out"

"$app" watch --format waybar >"$work/watch" 2>&1 &
pids+=("$!")
until_true "the first watch line" test -s "$work/watch"
before=$(watch_lines)

expect 0 on Office
expect 0 status
[[ $out == *"2 Office  on  Cool 23°C"* ]] || fail "status after on Office: $out"
watch_grew() { (($(watch_lines) > before)); }
until_true "a watch line after the change" watch_grew
tail -n 1 "$work/watch" | grep '2 Office  on' >/dev/null || fail "watch printed: $(tail -n 1 "$work/watch")"

expect 1 on Attic
[[ $err == *'No unit is called "Attic".'* ]] || fail "an unknown unit said: $err"
expect 2 target Office warm

expect 0 open
until_true "the panel to open as a window" panel_shown

# A later start hands over to the running app and ends.
expect 0 --demo
running "$app_pid" || fail "the running app ended"
echo "passed"
