# Shared by the packaging checks: sourced, not run.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The display of the test fixture's Xvfb, from the file it writes.
fixture_display() {
    local number
    number=$(cat "$1" 2>/dev/null) || fail "the Xvfb fixture has not started (no $1)"
    echo ":$number"
}

# expect_main_window SHOT COMMAND...: COMMAND starts Talvik on the simulated
# keyboard with TALVIK_SCREENSHOT=SHOT (as the program sees the path). It
# must paint its main window, which is 1240 x 670 at the fixture's scale;
# `SHOT_ON_HOST` names the same file from here when it differs.
expect_main_window() {
    local shot=$1
    shift
    local output
    output=$(timeout 60 "$@" 2>&1) || fail "Talvik did not start or end cleanly: $output"
    grep -q '^first-paint ' <<<"$output" || fail "Talvik painted no main window: $output"
    grep -q '^screenshot-peak-resident-kb [1-9][0-9]*$' <<<"$output" ||
        fail "Talvik said nothing of its memory up to the screenshot: $output"
    local on_host=${SHOT_ON_HOST:-$shot}
    [ -s "$on_host" ] || fail "no screenshot at $on_host"
    grep -q '1240 x 670' <<<"$(file "$on_host")" || fail "the first window was not the main window: $(file "$on_host")"
    echo "main window painted: $on_host"
}
