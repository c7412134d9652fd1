#!/usr/bin/env bash
# check-deb.sh BUILD_DIR DISPLAY_FILE
# Builds the Debian package with CPack and checks it: lintian finds no
# errors, and it installs into a clean root with `dpkg --root`, where the
# installed Talvik then starts in a chroot on the simulated keyboard. The
# clean root holds only the Essential packages and what the package's
# dependencies pull in, copied from this machine's installed packages (no
# download): a dependency the package forgets to declare is missing there.
# Needs root (chroot, mount); exits 77 (skipped) otherwise.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
build=$1 display_file=$2

if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: installing into a chroot needs root"
    exit 77
fi

work=$(mktemp -d)
root="$work/root"
cleanup() {
    if mountpoint -q "$root/proc" 2>/dev/null; then
        umount "$root/proc"
    fi
    # Never follow a mount that is still there out of the work folder.
    rm -rf --one-file-system "$work"
}
trap cleanup EXIT

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    fail "cpack failed"
}
deb=$(ls "$work"/package/talvik_*.deb)
dpkg-deb -I "$deb"

lintian --fail-on error "$deb" || fail "lintian found errors"

# The clean root: merged /usr as on Debian 12, the files of every package in
# the closure, and a dpkg database that knows exactly those packages.
"$here/dependency-closure.sh" "$deb" >"$work/closure"
mkdir -p "$root"/usr/{bin,sbin,lib,lib64} "$root"/var/lib/dpkg/{info,updates,triggers} \
    "$root"/proc "$root"/tmp
chmod 1777 "$root/tmp"
for d in bin sbin lib lib64; do
    ln -s "usr/$d" "$root/$d"
done
mapfile -t packages <"$work/closure"
dpkg-query -L "${packages[@]}" 2>/dev/null | grep '^/' | sort -u >"$work/files"
tar -C / --no-recursion --ignore-failed-read -cf - -T "$work/files" 2>/dev/null |
    tar -C "$root" --keep-directory-symlink -xf -
dpkg-query -s "${packages[@]}" >"$root/var/lib/dpkg/status"
touch "$root/var/lib/dpkg/available"
for p in "${packages[@]}"; do
    cp /var/lib/dpkg/info/"$p".list /var/lib/dpkg/info/"$p":*.list "$root/var/lib/dpkg/info/" \
        2>/dev/null || true
done
chroot "$root" /sbin/ldconfig
echo "clean root: ${#packages[@]} packages"

dpkg --root="$root" -i "$deb" || fail "dpkg could not install the package into the clean root"

mount -t proc proc "$root/proc"
SHOT_ON_HOST="$root/tmp/shot.png" expect_main_window /tmp/shot.png \
    chroot "$root" /usr/bin/env -i HOME=/tmp PATH=/usr/bin:/bin \
    DISPLAY="$(fixture_display "$display_file")" TALVIK_SIMULATOR=1 \
    TALVIK_REPORT_FIRST_PAINT=1 TALVIK_SCREENSHOT=/tmp/shot.png /usr/bin/Talvik
chroot "$root" /usr/bin/env -i HOME=/tmp PATH=/usr/bin:/bin TALVIK_SIMULATOR=1 \
    /usr/bin/talvikctl version >"$root/tmp/ctl.out" 2>&1 || {
    umount "$root/proc"
    fail "the packaged talvikctl did not talk to the keyboard: $(cat "$root/tmp/ctl.out")"
}
umount "$root/proc"

dpkg --root="$root" --purge talvik || fail "dpkg could not remove the package"
for f in usr/bin/Talvik usr/bin/talvikctl usr/lib/talvik usr/share/talvik usr/lib/udev/rules.d/70-talvik.rules; do
    [ ! -e "$root/$f" ] || fail "left behind after removal: /$f"
done
echo "package is clean, installs, runs and removes"
