#!/usr/bin/env bash
# fuzz-campaign.sh [-r RUNS] [-t SECONDS] [-p PARALLEL] [-o OUT] [-c CHECK] [-s] BUILD [TARGET...]
#
# A long fuzzing run of each target of a fuzz build (cmake --preset fuzz): RUNS inputs each
# (default 10000000), or SECONDS if that comes first (default no limit), PARALLEL targets at
# a time (default 1), every fuzzer under nice -n 19
# so that builds on the same machine keep their speed. Each target starts from its checked-in
# seeds and uses its dictionary, as the short CTest runs do (the test commands are where both
# are read from); its new inputs, findings and log go to OUT/<target> (default
# BUILD/campaign). At the end one line per target gives libFuzzer's final figures; -s prints
# only those lines, for a campaign that ran before (or was stopped: a fuzzer stopped with
# SIGINT still writes its figures).
#
# With -c, CHECK is a sanitized fuzz build (cmake --preset fuzz) and BUILD one with coverage
# alone (cmake --preset fuzz-coverage), which runs several times as fast: every input the
# campaign kept is then run once more through CHECK's AddressSanitizer and
# UndefinedBehaviorSanitizer, and what fails there is a finding too.
#
# Findings are the crash-, leak-, timeout- and oom- files in OUT/<target>/artifacts; replay
# one with BUILD/bin/<target> FILE. Leave TARGET out for every target.
set -euo pipefail

runs=10000000 seconds=0 parallel=1 out= check= summaryOnly=
while getopts "r:t:p:o:c:s" option; do
    case $option in
    r) runs=$OPTARG ;;
    t) seconds=$OPTARG ;;
    p) parallel=$OPTARG ;;
    o) out=$OPTARG ;;
    c) check=$(realpath "$OPTARG") ;;
    s) summaryOnly=1 ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
if [ $# -lt 1 ]; then
    echo "usage: $0 [-r RUNS] [-t SECONDS] [-p PARALLEL] [-o OUT] [-c CHECK] [-s] BUILD [TARGET...]" >&2
    exit 2
fi
build=$(realpath "$1")
shift
out=$(realpath -m "${out:-$build/campaign}")

# target -> "binary seeds dict", from the test commands (run-fuzzer.sh BINARY SECONDS WORK
# SEEDS DICT).
declare -A binaries seedDirs dicts
order=()
while IFS= read -r line; do
    eval "words=(${line#*Test command: })"
    target=$(basename "${words[1]}")
    binaries[$target]=${words[1]}
    seedDirs[$target]=${words[4]:-}
    dicts[$target]=${words[5]:-}
    order+=("$target")
done < <(ctest --test-dir "$build" -N -V -L fuzz | grep "Test command: .*run-fuzzer.sh")
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=("${order[@]}")
fi

campaign() {
    local target=$1 dir=$out/$1
    # A campaign runs niced beside other work, so an input waits for the processor far longer
    # than it computes: the per-input limit is for hangs, not for slow inputs on a busy machine.
    local arguments=(-runs="$runs" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -print_final_stats=1
                     -artifact_prefix="$dir/artifacts/")
    if [ -n "${dicts[$target]}" ] && [ -f "${dicts[$target]}" ]; then
        arguments+=(-dict="${dicts[$target]}")
    fi
    local corpora=("$dir/corpus")
    if [ -n "${seedDirs[$target]}" ] && [ -d "${seedDirs[$target]}" ]; then
        corpora+=("${seedDirs[$target]}")
    fi
    mkdir -p "$dir/corpus" "$dir/artifacts"
    local started=$SECONDS
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} nice -n 19 "${binaries[$target]}" \
        "${arguments[@]}" "${corpora[@]}" >"$dir/log" 2>&1 || true
    echo $((SECONDS - started)) >"$dir/seconds"
    if [ -n "$check" ]; then
        replay "$target"
    fi
}

# Every input of a target's corpus once through the sanitized build: -runs=0 runs the corpus
# and stops. The first input that fails stops it early, and lands in the artifacts.
replay() {
    local target=$1 dir=$out/$1 status=0
    local binary=$check/bin/$target
    if [ ! -x "$binary" ]; then
        echo "no $binary to check the corpus with" >"$dir/check"
        return
    fi
    local inputs
    inputs=$(find "$dir/corpus" -type f | wc -l)
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} nice -n 19 "$binary" -runs=0 -timeout=60 \
        -rss_limit_mb=2048 -artifact_prefix="$dir/artifacts/checked-" "$dir/corpus" \
        >"$dir/check.log" 2>&1 || status=$?
    if [ "$status" -eq 0 ]; then
        echo "$inputs inputs ran clean through $binary" >"$dir/check"
    else
        echo "$inputs inputs, a failure through $binary: see $dir/check.log" >"$dir/check"
    fi
}

# The final figures of one target's log, as one line of the table.
summary() {
    local target=$1 dir=$out/$1
    if [ ! -f "$dir/log" ]; then
        printf '%-22s %10s\n' "$target" "not run"
        return
    fi
    local done_line
    # The DONE line, or the last status line of a run that was interrupted.
    done_line=$(grep -E '^#[0-9]+[[:space:]].* cov: ' "$dir/log" | tail -n 1 || true)
    finalStat() { sed -n "s/^stat::$1:[[:space:]]*//p" "$dir/log" | tail -n 1; }
    local cov ft corp findings
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$done_line")
    corp=$(sed -n 's/.* corp: \([^ ]*\).*/\1/p' <<<"$done_line")
    findings=$(find "$dir/artifacts" -type f | wc -l)
    printf '%-22s %10s %8s %6s %7s %16s %8s %8s\n' "$target" "$(finalStat number_of_executed_units)" \
        "$(finalStat average_exec_per_sec)" "${cov:--}" "${ft:--}" "${corp:--}" \
        "$(cat "$dir/seconds" 2>/dev/null || echo -)" "$findings"
}

for target in "${targets[@]}"; do
    if [ -z "${binaries[$target]:-}" ]; then
        echo "no fuzz target $target in $build" >&2
        exit 2
    fi
done
running=0
for target in "${targets[@]}"; do
    if [ -n "$summaryOnly" ]; then
        break
    fi
    echo "$target: $runs runs, log in $out/$target/log"
    campaign "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$parallel" ]; then
        wait -n
        running=$((running - 1))
    fi
done
wait

printf '%-22s %10s %8s %6s %7s %16s %8s %8s\n' target runs exec/s cov ft corpus seconds findings
for target in "${targets[@]}"; do
    summary "$target"
done
for target in "${targets[@]}"; do
    if [ -f "$out/$target/check" ]; then
        echo "$target: $(cat "$out/$target/check")"
    fi
done
