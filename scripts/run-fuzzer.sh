#!/usr/bin/env bash
# run-fuzzer.sh BINARY SECONDS WORKDIR [SEEDDIR [DICT]]: one fixed-time libFuzzer run.
# An empty or missing SEEDDIR or DICT is left out.
set -euo pipefail
binary=$1 seconds=$2 work=$3 seeds=${4:-} dict=${5:-}
mkdir -p "$work"
dirs=("$work")
if [ -n "$seeds" ] && [ -d "$seeds" ]; then
    dirs+=("$seeds")
fi
options=()
if [ -n "$dict" ] && [ -f "$dict" ]; then
    options+=("-dict=$dict")
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
exec "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "${options[@]}" "${dirs[@]}"
