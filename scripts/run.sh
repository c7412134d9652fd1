#!/usr/bin/env bash
# Builds Talvik and starts it on the simulated keyboard (model 1 unless
# TALVIK_SIMULATOR says otherwise). Without a display it runs under Xvfb,
# saves a screenshot of the main window and prints its path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
. "$root/scripts/as-checkout-owner.sh"
cd "$root"
cmake --preset dev >/dev/null
cmake --build --preset dev -j2 --target Talvik
program="$root/build/dev/bin/Talvik"
export TALVIK_SIMULATOR="${TALVIK_SIMULATOR:-1}"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program"
fi

shot="${TALVIK_SCREENSHOT:-$root/build/dev/screenshots/talvik.png}"
mkdir -p "$(dirname "$shot")"
rm -f "$shot"
xvfb_dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$xvfb_dir/display" >"$xvfb_dir/log" 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; rm -rf "$xvfb_dir"' EXIT
for _ in $(seq 1 100); do
    [ -s "$xvfb_dir/display" ] && break
    sleep 0.1
done
if [ ! -s "$xvfb_dir/display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$xvfb_dir/log" >&2
    exit 1
fi
echo "No display: running Talvik under Xvfb on :$(cat "$xvfb_dir/display")"
DISPLAY=":$(cat "$xvfb_dir/display")" TALVIK_SCREENSHOT="$shot" timeout 60 "$program" || true
if [ ! -s "$shot" ]; then
    echo "Talvik showed no window (see the messages above)." >&2
    exit 1
fi
echo "Screenshot: $shot"
