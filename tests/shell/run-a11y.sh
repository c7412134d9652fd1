#!/usr/bin/env bash
# run-a11y.sh TALVIK DISPLAY_FILE SCRIPT: runs SCRIPT (a pyatspi client) against
# Talvik on the simulated keyboard, on the fixture's X server, with at-spi2's
# bus on a D-Bus session of its own.
set -euo pipefail
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ "${TALVIK_A11Y_SESSION:-}" != 1 ]; then
    TALVIK_A11Y_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi
talvik=$1
display=:$(cat "$2")
script=$3
data=$(mktemp -d)
cleanup() {
    kill "${pids[@]}" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$data"
}
pids=()
trap cleanup EXIT
/usr/libexec/at-spi-bus-launcher --launch-immediately &
pids+=($!)
DISPLAY=$display QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 TALVIK_SIMULATOR=1 XDG_DATA_HOME=$data \
    "$talvik" >"$data/talvik.log" 2>&1 &
pids+=($!)
DISPLAY=$display TALVIK_PID=$! /usr/bin/python3 "$script"
