#!/usr/bin/env bash
# scripts.sh [root]: each script the README offers as a command works in a fresh clone: it runs
# scripts/setup (the packages and the icons) before it builds or tests. Left out are the steps
# the others are made of: setup itself, build and lint (whose configure step and own message
# name what to run first) and with-test-session.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
status=0
# first <pattern> <file>: the number of the first line outside comments that matches, or 0.
first() { grep -nE "^[^#]*($1)" "$2" | head -n 1 | cut -d: -f1 || true; }
for name in $(grep -oE 'scripts/[a-z-]+' "$root/README.md" | sort -u); do
    case $name in scripts/setup | scripts/build | scripts/lint | scripts/with-test-session) continue ;; esac
    setup=$(first 'scripts/setup' "$root/$name")
    work=$(first 'scripts/(build|with-test-session)|cmake |ctest ' "$root/$name")
    if [[ -z $setup ]] || [[ -n $work && $work -lt $setup ]]; then
        echo "$name builds or tests before it runs scripts/setup"
        status=1
    fi
done
exit "$status"
