#!/usr/bin/env bash
# start DIR: launches Xvfb on a free display, writes the display number to DIR/display
# stop DIR:  ends the Xvfb started for DIR.
set -euo pipefail
action=$1
dir=$2
case "$action" in
start)
    mkdir -p "$dir"
    if [ -f "$dir/pid" ] && kill -0 "$(cat "$dir/pid")" 2>/dev/null; then
        kill "$(cat "$dir/pid")" 2>/dev/null || true
    fi
    rm -f "$dir/display" "$dir/pid"
    # 1920x1080 keeps the user-interface scale at 1.0 for the window tests;
    # -noreset, because a server resetting after its last client left refuses
    # the next test's connection for a moment.
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/pid"
    for _ in $(seq 1 100); do
        if [ -s "$dir/display" ]; then
            echo "Xvfb on :$(cat "$dir/display")"
            exit 0
        fi
        sleep 0.1
    done
    echo "Xvfb did not start; see $dir/xvfb.log" >&2
    exit 1
    ;;
stop)
    if [ -f "$dir/pid" ]; then
        kill "$(cat "$dir/pid")" 2>/dev/null || true
        rm -f "$dir/pid" "$dir/display"
    fi
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
