#!/usr/bin/env bash
# check-setup-scripts.sh SOURCE_DIR
# The set-up commands' rules about privileges, on stand-ins for dpkg-query,
# apt-get, sudo, id, stat and runuser that record what they are asked:
# - an ordinary user gets sudo for apt-get and for nothing else, and is told;
# - without sudo the user is told how to install as root, and nothing runs;
# - root calls apt-get itself; with nothing missing nobody is called;
# - root in a user's checkout hands the command to the owner, after giving
#   back the build folders.
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

stub() { # stub NAME BODY
    printf '#!/usr/bin/env bash\n%s\n' "$2" >"$work/bin/$1"
    chmod +x "$work/bin/$1"
}
setup() { # setup UID MISSING-PACKAGE-OR-EMPTY WITH-SUDO
    rm -rf "$work/bin" "$work/log"
    mkdir -p "$work/bin"
    touch "$work/log"
    stub id "[ \"\$1\" = -u ] && { echo $1; exit 0; }; [ \"\$1\" = -nu ] && { echo dev; exit 0; }; exec /usr/bin/id \"\$@\""
    stub dpkg-query "[ \"\${@: -1}\" = \"$2\" ] && exit 1; echo 'install ok installed'"
    stub apt-get "echo \"apt-get \$*\" >>$work/log"
    stub env "shift; exec \"\$@\"" # drops DEBIAN_FRONTEND=...
    if [ "$3" = yes ]; then
        stub sudo "echo \"sudo \$1\" >>$work/log; exec \"\$@\""
    fi
}
# install-deps.sh runs on the stand-ins and these tools alone, so that a sudo
# installed on this machine never stands in for a missing one.
mkdir -p "$work/tools"
for tool in bash cat sed awk sort grep dirname; do
    ln -s "$(command -v "$tool")" "$work/tools/$tool"
done
run_deps() {
    PATH="$work/bin:$work/tools" "$source_dir/scripts/install-deps.sh" >"$work/out" 2>&1
}

setup 1000 lintian yes
run_deps || fail "install-deps as a user with sudo: $(cat "$work/out")"
grep -q 'with sudo' "$work/out" || fail "the user is not told that sudo is used: $(cat "$work/out")"
[ "$(cat "$work/log")" = "$(printf 'sudo env\napt-get update -q\nsudo env\napt-get install -y -q lintian')" ] ||
    fail "sudo was used for something else than apt-get: $(cat "$work/log")"

setup 1000 lintian no
if run_deps; then fail "install-deps without sudo went on"; fi
grep -q "su -c" "$work/out" || fail "no hint how to install as root: $(cat "$work/out")"
[ ! -s "$work/log" ] || fail "something ran without sudo: $(cat "$work/log")"

setup 0 lintian no
run_deps || fail "install-deps as root: $(cat "$work/out")"
[ "$(cat "$work/log")" = "$(printf 'apt-get update -q\napt-get install -y -q lintian')" ] ||
    fail "root did not call apt-get itself: $(cat "$work/log")"

setup 1000 "" yes
run_deps || fail "install-deps with nothing missing"
[ ! -s "$work/log" ] || fail "called with nothing missing: $(cat "$work/log")"

# A command sourcing the hand-over, in a checkout owned by uid 1000.
checkout="$work/checkout"
mkdir -p "$checkout/scripts" "$checkout/build"
cp "$source_dir/scripts/as-checkout-owner.sh" "$checkout/scripts/"
printf '#!/usr/bin/env bash\nset -euo pipefail\nroot=%q\n. "$root/scripts/as-checkout-owner.sh"\necho "built by $(id -u) with $*"\n' \
    "$checkout" >"$checkout/scripts/build.sh"
chmod +x "$checkout/scripts/build.sh"
for uid in 0 1000; do
    setup "$uid" "" no
    stub stat "case \"\$2\" in %u) echo 1000 ;; %g) echo 1000 ;; esac"
    stub chown "echo \"chown \$*\" >>$work/log"
    stub runuser "echo \"runuser \$*\" >>$work/log"
    PATH="$work/bin:/usr/bin:/bin" "$checkout/scripts/build.sh" --fast >"$work/out" 2>&1 ||
        fail "build as uid $uid: $(cat "$work/out")"
    if [ "$uid" = 0 ]; then
        [ "$(cat "$work/log")" = "$(printf 'chown -R 1000:1000 %s\nrunuser -u dev -- %s --fast' \
            "$checkout/build" "$checkout/scripts/build.sh")" ] ||
            fail "root did not hand the build to the owner: $(cat "$work/log")"
        grep -q "building as dev" "$work/out" || fail "root does not say who builds"
    else
        [ ! -s "$work/log" ] || fail "the owner's own build was handed over: $(cat "$work/log")"
        grep -q "built by 1000 with --fast" "$work/out" || fail "the owner did not build: $(cat "$work/out")"
    fi
done
echo "set-up commands: sudo only for apt-get, builds by the checkout's owner"
