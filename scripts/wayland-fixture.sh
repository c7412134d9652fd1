#!/usr/bin/env bash
# Headless Wayland compositors for the window tests.
#   start weston|sway DIR   starts one at 1920x1080 on a grey (#808080) screen;
#                           DIR/env holds what a client needs (NAME=value lines),
#                           DIR/kind and DIR/pid what was started. Exit 77 when
#                           the compositor is not installed.
#   stop DIR                ends what start started for DIR and removes its sockets
#   screenshot DIR OUT.png  saves the whole screen
#   tree DIR                prints sway's window tree as JSON (sway only)
set -euo pipefail

usage() {
    echo "usage: $0 start weston|sway DIR | stop DIR | screenshot DIR OUT.png | tree DIR" >&2
    exit 2
}

start_seconds=20
background=808080

now_us() {
    echo "${EPOCHREALTIME/[,.]/}"
}

elapsed_since() {
    local us=$(($(now_us) - $1))
    printf '%d.%02d s' $((us / 1000000)) $((us % 1000000 / 10000))
}

# Runs COMMAND every 0.1 s until it succeeds (0) or SECONDS have passed (1).
wait_for() {
    local deadline=$(($(now_us) + $1 * 1000000))
    shift
    until "$@"; do
        (($(now_us) < deadline)) || return 1
        sleep 0.1
    done
}

# 0 while PID runs and is not a zombie waiting for its parent.
running() {
    local state
    state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

# start makes the compositor the leader of a session of its own, so these
# also count its helpers (desktop shell, swaybg).
session_ended() {
    # pgrep would count the zombies as alive.
    # shellcheck disable=SC2009
    ! ps -o stat= -s "$1" 2>/dev/null | grep -qv '^Z'
}

session_reaped() {
    ! ps -s "$1" >/dev/null 2>&1
}

load_env() {
    local dir=$1 name value
    if [ ! -f "$dir/env" ]; then
        echo "no compositor runs for $dir (no $dir/env)" >&2
        exit 1
    fi
    while IFS='=' read -r name value; do
        export "$name=$value"
    done <"$dir/env"
}

stop_dir() {
    local dir=$1 pid="" runtime=""
    if [ -f "$dir/pid" ]; then pid=$(cat "$dir/pid"); fi
    if [ -f "$dir/runtime" ]; then runtime=$(cat "$dir/runtime"); fi
    # The compositor's environment names this DIR's private folder, so a
    # stale pid file never ends someone else's process.
    if [ -n "$pid" ] && [ -n "$runtime" ] && running "$pid" &&
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qF -- "XDG_RUNTIME_DIR=$runtime"; then
        kill -TERM -- "-$pid" 2>/dev/null || true
        if ! wait_for 5 session_ended "$pid"; then
            echo "compositor $pid ignored SIGTERM for 5 s; killing it" >&2
            kill -KILL -- "-$pid" 2>/dev/null || true
            wait_for 5 session_ended "$pid" || echo "compositor $pid outlived SIGKILL" >&2
        fi
        # Whoever inherited the dead reaps them a moment later; a look at ps
        # right after stop should find nothing.
        wait_for 3 session_reaped "$pid" || true
    fi
    # A compositor that was killed leaves its sockets behind.
    case "$runtime" in
    /tmp/talvik-wl.*) rm -rf -- "$runtime" ;;
    esac
    rm -rf -- "$dir/xdg-runtime"
    rm -f -- "$dir/env" "$dir/env.part" "$dir/pid" "$dir/kind" "$dir/runtime"
}

# Ends the half-started compositor and fails.
start_failed() {
    stop_dir "$1"
    echo "$2" >&2
    exit 1
}

write_weston_ini() {
    # No panel, no on-screen keyboard, and no animations: a screenshot taken
    # right after a window appears must show it at full size and colour.
    cat >"$1" <<EOF
[core]
idle-time=0

[shell]
background-color=0xff$background
panel-position=none
startup-animation=none
animation=none
close-animation=none
focus-animation=none

[input-method]
path=
EOF
}

write_sway_config() {
    # No bar, no keys bound (there is no input device anyway), and no X
    # server: Xwayland would take an X display number from under Xvfb.
    cat >"$1" <<EOF
output * resolution 1920x1080 scale 1 bg #$background solid_color
xwayland disable
EOF
}

# The socket exists before the desktop shell has drawn the background, and
# until then a screenshot is black; the scene graph shows when it is there.
weston_ready() {
    local pid=$1 dir=$2 log=$3
    running "$pid" || start_failed "$dir" "weston exited while starting; see $log"
    [ -S "$WAYLAND_DISPLAY" ] &&
        timeout 5 weston-debug scene-graph 2>/dev/null | grep -q 'background for output'
}

start_weston() {
    local dir=$1 runtime=$2 t0 pid
    local log=$dir/weston.log
    t0=$(now_us)
    write_weston_ini "$dir/weston.ini"
    XDG_RUNTIME_DIR=$runtime setsid weston --backend=headless-backend.so --use-pixman \
        --socket=wayland-0 --width=1920 --height=1080 --debug --idle-time=0 \
        --config="$dir/weston.ini" </dev/null >"$log" 2>&1 &
    pid=$!
    echo "$pid" >"$dir/pid"
    export WAYLAND_DISPLAY=$runtime/wayland-0 XDG_RUNTIME_DIR=$dir/xdg-runtime
    wait_for "$start_seconds" weston_ready "$pid" "$dir" "$log" ||
        start_failed "$dir" "weston did not show its desktop within $start_seconds s; see $log"
    {
        echo "WAYLAND_DISPLAY=$WAYLAND_DISPLAY"
        echo "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR"
    } >"$dir/env.part"
    echo "weston ready on $WAYLAND_DISPLAY after $(elapsed_since "$t0")"
}

# Colour of the top left pixel as rrggbb.
sway_corner() {
    grim -g "0,0 1x1" -t ppm - 2>/dev/null | tail -c 3 | od -An -tx1 | tr -d ' \n'
}

# sway numbers its socket itself, and swaybg draws the background a moment
# after the IPC socket answers. Sets socket and ipc.
sway_ready() {
    local pid=$1 dir=$2 log=$3 run=$4 check_background=$5
    running "$pid" || start_failed "$dir" "sway exited while starting; see $log"
    socket=$(find "$run" -maxdepth 1 -type s -name 'wayland-*' | head -n 1)
    ipc=$(find "$run" -maxdepth 1 -type s -name 'sway-ipc.*' | head -n 1)
    [ -n "$socket" ] && [ -n "$ipc" ] || return 1
    SWAYSOCK=$ipc timeout 5 swaymsg -t get_version >/dev/null 2>&1 || return 1
    [ "$check_background" = no ] || [ "$(WAYLAND_DISPLAY=$socket sway_corner)" = "$background" ]
}

start_sway() {
    local dir=$1 runtime=$2 t0 pid socket="" ipc="" check_background=yes
    local log=$dir/sway.log
    t0=$(now_us)
    # sway refuses to run as root: root runs it as nobody, which gets its own
    # runtime and home folders and a config it can read.
    mkdir -p "$runtime/run" "$runtime/home"
    write_sway_config "$runtime/config"
    local as_user=()
    if [ "$(id -u)" -eq 0 ]; then
        chown -R nobody:nogroup "$runtime"
        as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    fi
    chmod 711 "$runtime"
    chmod 700 "$runtime/run"
    setsid "${as_user[@]}" \
        env -i PATH="$PATH" XDG_RUNTIME_DIR="$runtime/run" HOME="$runtime/home" \
        WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$runtime/config" </dev/null >"$log" 2>&1 &
    pid=$!
    echo "$pid" >"$dir/pid"
    export XDG_RUNTIME_DIR=$dir/xdg-runtime
    if ! command -v grim >/dev/null || ! command -v swaybg >/dev/null; then
        echo "warning: without grim and swaybg the background is not waited for" >&2
        check_background=no
    fi
    wait_for "$start_seconds" sway_ready "$pid" "$dir" "$log" "$runtime/run" "$check_background" ||
        start_failed "$dir" "sway did not show its desktop within $start_seconds s; see $log"
    {
        echo "WAYLAND_DISPLAY=$socket"
        echo "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR"
        echo "SWAYSOCK=$ipc"
    } >"$dir/env.part"
    echo "sway ready on $socket after $(elapsed_since "$t0")"
}

start() {
    local kind=$1 dir=$2 tools tool runtime
    case "$kind" in
    weston) tools="weston weston-debug" ;;
    sway) tools="sway swaymsg" ;;
    *) usage ;;
    esac
    for tool in $tools; do
        if ! command -v "$tool" >/dev/null; then
            echo "$tool is not installed; skipping" >&2
            exit 77
        fi
    done
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    stop_dir "$dir"
    # Socket paths are limited to 107 bytes, so the compositor's own folder
    # lives under /tmp rather than in a deep build tree.
    runtime=$(mktemp -d /tmp/talvik-wl.XXXXXX)
    echo "$runtime" >"$dir/runtime"
    echo "$kind" >"$dir/kind"
    mkdir -m 700 "$dir/xdg-runtime"
    "start_$kind" "$dir" "$runtime"
    # A Qt client looks for a session bus; with an X DISPLAY in its
    # environment libdbus would start dbus-launch, which outlives the test.
    # An address that does not exist makes it give up at once.
    {
        echo "QT_QPA_PLATFORM=wayland"
        echo "DBUS_SESSION_BUS_ADDRESS=unix:path=$runtime/no-session-bus"
    } >>"$dir/env.part"
    mv "$dir/env.part" "$dir/env"
}

weston_shot_saved() {
    [ -n "$(find "$1" -maxdepth 1 -name '*.png' | head -n 1)" ]
}

screenshot() {
    local dir=$1 out=$2 shots file
    load_env "$dir"
    case "$(cat "$dir/kind")" in
    weston)
        # weston-screenshooter names its file itself, in the current folder.
        shots=$(mktemp -d "$dir/shot.XXXXXX")
        if ! (cd "$shots" && timeout 20 weston-screenshooter) ||
            ! wait_for 20 weston_shot_saved "$shots"; then
            rm -rf -- "$shots"
            echo "weston-screenshooter saved no picture; see $dir/weston.log" >&2
            exit 1
        fi
        file=$(find "$shots" -maxdepth 1 -name '*.png' | head -n 1)
        mv -- "$file" "$out"
        rm -rf -- "$shots"
        ;;
    sway)
        # grim writes in place; under its own name the picture appears whole.
        if ! timeout 20 grim -t png "$out.part"; then
            rm -f -- "$out.part"
            echo "grim failed; see $dir/sway.log" >&2
            exit 1
        fi
        mv -- "$out.part" "$out"
        ;;
    esac
}

tree() {
    local dir=$1 kind
    load_env "$dir"
    kind=$(cat "$dir/kind")
    if [ "$kind" != sway ]; then
        echo "tree needs sway; $dir runs $kind" >&2
        exit 2
    fi
    timeout 20 swaymsg -r -t get_tree
}

[ $# -ge 2 ] || usage
case "$1" in
start)
    [ $# -eq 3 ] || usage
    start "$2" "$3"
    ;;
stop)
    [ $# -eq 2 ] || usage
    if [ -d "$2" ]; then
        stop_dir "$(cd "$2" && pwd)"
    fi
    ;;
screenshot)
    [ $# -eq 3 ] || usage
    screenshot "$2" "$3"
    ;;
tree)
    [ $# -eq 2 ] || usage
    tree "$2"
    ;;
*) usage ;;
esac
