#!/usr/bin/env bash
# single_instance.sh <alvore binary>: starts the app twice at once and once more later. Exactly
# one keeps running with one icon; each later start exits with 0 and makes the running one open
# its panel.
set -euo pipefail
source "$(dirname "$0")/desktop.sh"

one_ended() { ! running "$first_pid" || ! running "$second_pid"; }

# Two starts at once: the bus gives its name to one of them.
"$app" --demo >"$work/app-first.log" 2>&1 &
first_pid=$!
"$app" --demo >"$work/app-second.log" 2>&1 &
second_pid=$!
pids+=("$first_pid" "$second_pid")
until_true "one of two starts to end" one_ended
if running "$first_pid"; then
    survivor=$first_pid ended=$second_pid
else
    survivor=$second_pid ended=$first_pid
fi
status=0
wait "$ended" || status=$?
((status == 0)) || fail "the start that handed over exited with $status"
running "$survivor" || fail "both starts ended"
until_true "the icon in the tray" has_icon
# The start that handed over asked the running one to show itself.
until_true "the panel to open" panel_shown
click_icon 1
until_true "the panel to close" panel_hidden

# A later start: gone at once, without a word, and the panel opens again.
status=0
timeout 10 "$app" >"$work/app-later.log" 2>&1 || status=$?
((status == 0)) || fail "the later start exited with $status"
[[ ! -s $work/app-later.log ]] || fail "the later start printed: $(cat "$work/app-later.log")"
until_true "the panel to open again" panel_shown
(($(icon_count) == 1)) || fail "the tray holds $(icon_count) icons"
running "$survivor" || fail "the running app ended"
echo "passed"
