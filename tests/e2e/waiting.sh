# waiting.sh: sourced by the end-to-end rigs, each of which defines `fail <why>`.
# Checks pipe into `grep … >/dev/null`, never `grep -q`: under pipefail a grep that leaves at the
# first match breaks the writer's pipe, and the check fails, or with `!` passes, by chance.

# until_true <what> <command...>: runs the command every 0.1 s until it succeeds, failing when a
# minute passes first, which is generous for a loaded machine and the sanitizer build.
until_true() {
    local what=$1 started=$SECONDS
    shift
    until "$@"; do
        ((SECONDS - started < 60)) || fail "waited $((SECONDS - started)) s for $what"
        sleep 0.1
    done
}
running() { kill -0 "$1" 2>/dev/null; }
