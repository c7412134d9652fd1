#!/usr/bin/env bash
# check-install.sh BUILD_DIR SOURCE_DIR DISPLAY_FILE APP_ID
# Installs the build into a fresh prefix and checks what lands there: the
# layout, the desktop entry and AppStream data (judged by their own tools),
# the program's RUNPATH, and that the installed program, moved elsewhere with
# its prefix, still finds its library and skin and paints its main window on
# the simulated keyboard.
set -euo pipefail
# Output is matched from a here-string, never through a pipe into grep -q:
# grep stops at the first match, the writer dies of SIGPIPE, and pipefail
# turns a match into a failure.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
build=$1 source=$2 display_file=$3 id=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/a prefix" # a blank in it, as many home folders have
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || {
    cat "$work/install.log"
    fail "cmake --install failed"
}
cd "$prefix"

expected=(
    bin/Talvik
    bin/talvikctl
    lib/talvik/libTalvikHWI.so.1
    share/talvik/TalvikRES.rcc
    lib/udev/rules.d/70-talvik.rules
    "share/applications/$id.desktop"
    "share/metainfo/$id.metainfo.xml"
    share/icons/hicolor/scalable/apps/$id.svg
    share/man/man1/Talvik.1.gz
    share/man/man1/talvikctl.1.gz
    share/bash-completion/completions/talvikctl
    share/doc/talvik/copyright
)
for size in 16 22 24 32 48 64 128 256 512; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for f in "${expected[@]}"; do
    [ -f "$f" ] || fail "missing from the installed tree: $f"
done
for size in 16 22 24 32 48 64 128 256 512; do
    grep -q "$size x $size" <<<"$(file "share/icons/hicolor/${size}x${size}/apps/$id.png")" ||
        fail "the ${size}px icon has another size"
done
if [ -d "$source/res/help" ]; then
    [ -n "$(ls -A share/talvik/help 2>/dev/null)" ] || fail "the help folder was not installed"
fi
if grep -Eq '^(test_|bench_|fuzz_)' <<<"$(ls bin lib/talvik)"; then
    fail "test or benchmark programs were installed: $(ls bin lib/talvik)"
fi
for product in 5031 5131 5231 5331; do
    grep -Eq "ATTRS\{idVendor\}==\"0483\", ATTRS\{idProduct\}==\"$product\".*TAG\+=\"uaccess\"" \
        lib/udev/rules.d/70-talvik.rules || fail "the udev rule misses product $product"
    grep -q "<modalias>usb:v0483p${product}d\*</modalias>" "share/metainfo/$id.metainfo.xml" ||
        fail "the AppStream data does not provide product $product"
done

desktop-file-validate "share/applications/$id.desktop" || fail "desktop-file-validate"
grep -qx "Exec=\"$prefix/bin/Talvik\"" "share/applications/$id.desktop" ||
    fail "the desktop entry does not start the installed program: $(grep ^Exec "share/applications/$id.desktop")"
appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli validate-tree"

for program in Talvik talvikctl; do
    grep -q 'R.*PATH.*\[\$ORIGIN/../lib/talvik\]' <<<"$(readelf -d bin/$program)" ||
        fail "the RUNPATH of $program is not relative to it: $(readelf -d bin/$program | grep PATH)"
done

# Move the whole tree: nothing may depend on where it was installed or built.
cd "$work"
mv "$prefix" "$work/moved"
grep -q "libTalvikHWI.so.1 => $work/moved/bin/../lib/talvik/" <<<"$(ldd "$work/moved/bin/Talvik")" ||
    fail "the program does not load its own library: $(ldd "$work/moved/bin/Talvik" | grep Talvik)"
export TALVIK_SIMULATOR=1 TALVIK_REPORT_FIRST_PAINT=1
"$work/moved/bin/talvikctl" version >"$work/ctl.out" 2>&1 ||
    fail "the installed talvikctl did not talk to the keyboard: $(cat "$work/ctl.out")"
export TALVIK_SCREENSHOT="$work/shot.png"
DISPLAY=$(fixture_display "$display_file")
export DISPLAY
expect_main_window "$work/shot.png" "$work/moved/bin/Talvik"
echo "installed tree is complete and runs"
