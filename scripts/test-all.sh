#!/usr/bin/env bash
# Builds and runs every test: the Qt-free core first (it is quick and says
# early whether the libraries still build without Qt), the GCC build, the clang
# build under AddressSanitizer + UndefinedBehaviorSanitizer, the tests that run
# threads under ThreadSanitizer, and a short fixed-time run of every fuzz target.
# TALVIK_TEST_PRESETS="dev tsan" runs only the presets named.
# Installs missing Debian packages first (with sudo when not run as root).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
root=$PWD
. scripts/as-checkout-owner.sh

run_preset() {
    local preset=$1
    echo "=== $preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    if [ "$preset" = fuzz ] && [ ! -d fuzz ]; then
        return 0
    fi
    ctest --preset "$preset"
}

presets=${TALVIK_TEST_PRESETS:-"core dev asan tsan fuzz"}
for preset in $presets; do
    run_preset "$preset"
done
echo "All test presets passed: $presets"
