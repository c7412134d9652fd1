#!/usr/bin/env bash
# make-fuzz-seeds.sh CORE_BUILD FUZZ_BUILD: writes the generated seed files of the fuzz
# corpora again, from the program's own output:
#   profiles      saved by the program (fuzz_make_profiles, built in FUZZ_BUILD on demand),
#                 cut to a few keys
#   replies       what the simulated keyboard answered talvikctl (CORE_BUILD), taken from
#                 its traffic log: one file per request, the reader's selector byte and
#                 then the 64-byte reply payloads in the order they came
#   state files   the simulated keyboard's memory after those runs
#   firmware      an image made by objcopy from a small binary, as Intel HEX at three
#                 kinds of address, and the binary itself (which must be refused)
# The hand-made seeds beside them are left alone. Run from anywhere; the files land in
# fuzz/*/corpus of this tree.
set -euo pipefail
core=$(realpath "$1")
fuzzbuild=$(realpath "$2")
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --build "$fuzzbuild" --target fuzz_make_profiles >/dev/null
ASAN_OPTIONS=detect_leaks=0 "$fuzzbuild/bin/fuzz_make_profiles" "$work"

# The profile seeds are the cut ones (seed-*.pro, see make_profiles.cpp).
xml=$root/fuzz/xml/corpus
mkdir -p "$xml/fuzz_profile_load" "$xml/fuzz_profile_file" "$xml/fuzz_xml_document"
seed() {
    local name=$1
    shift
    local folder
    for folder in "$@"; do
        cp "$work/seed-$name" "$xml/$folder/$name"
    done
}
for model in 1 2 3 4; do
    seed "reset-model$model.pro" fuzz_profile_load
done
seed reset-model1.pro fuzz_profile_file fuzz_xml_document
seed full-model2.pro fuzz_profile_load fuzz_profile_file
seed heavy.pro fuzz_profile_load fuzz_xml_document

# talvikctl against the simulated keyboard of a model, logging the traffic to $work/<log>.log.
ctl() {
    local model=$1 log=$2
    shift 2
    TALVIK_SIMULATOR=$model TALVIK_SIMULATOR_STATE=$work/keyboard.state \
        TALVIK_SIMULATOR_LOG=$work/$log.log "$core/bin/talvikctl" "$@" >/dev/null 2>&1
}

# The replies of a log grouped by the request they answer (the command byte of the last
# report written), each group to <prefix>-<name>: fuzz_replies' selector byte first.
replies() {
    local log=$1 prefix=$2
    awk -v prefix="$prefix" '
        BEGIN { name["f2"] = "keys"; name["e2"] = "light"; name["e3"] = "counters"
                name["f9"] = "version"; selector["keys"] = "00"; selector["light"] = "01"
                selector["counters"] = "02"; selector["version"] = "03" }
        $1 == "W" { request = substr($2, 3, 2); next }
        $1 == "R" && (request in name) {
            file = prefix "-" name[request] ".hex"
            if (!(file in started)) { started[file] = 1; print selector[name[request]] > file }
            print $2 > file
        }' "$work/$log.log"
    local hex
    for hex in "$prefix"-*.hex; do
        xxd -r -p "$hex" "${hex%.hex}"
        rm "$hex"
    done
}

hwi=$root/fuzz/hwi/corpus
mkdir -p "$hwi/fuzz_hwi_replies" "$hwi/fuzz_hwi_state_file" "$hwi/fuzz_hwi_firmware"
# Model 1 holds the heavy profile (a long macro spans several blocks of its record), model 2
# a profile with every kind of assignment; models 3 and 4 only answer.
ctl 1 write1 write "$work/heavy.pro"
ctl 2 write2 write "$work/full-model2.pro"
for model in 1 2 3 4; do
    ctl "$model" "read$model" read "$work/read$model.pro"
    ctl "$model" "counters$model" counters
    ctl "$model" "version$model" version
    for log in "read$model" "counters$model" "version$model"; do
        (cd "$work" && replies "$log" "$work/model$model")
    done
done
cp "$work"/model1-keys "$work"/model1-light "$work"/model2-keys "$work"/model2-light \
    "$work"/model1-counters "$work"/model3-counters "$hwi/fuzz_hwi_replies/"
for model in 1 2 3 4; do
    cp "$work/model$model-version" "$hwi/fuzz_hwi_replies/model$model-version"
done
# The state of the four keyboards with only the slots of keys 1 to 3 on both layers (a
# whole memory is 50 KB of slot lines), and model 2's section alone.
awk '$1 != "slot" || $2 < 3 || ($2 >= 87 && $2 < 90)' "$work/keyboard.state" \
    >"$work/short.state"
cp "$work/short.state" "$hwi/fuzz_hwi_state_file/four-models.state"
awk 'NR == 1 || $1 == "model" { keep = (NR == 1 || $2 == 2) } keep' "$work/short.state" \
    >"$hwi/fuzz_hwi_state_file/model2.state"

# A small image: a zeroed vector table, a name, then bytes that run through every value.
LC_ALL=C awk 'BEGIN { for (i = 0; i < 64; ++i) printf "%c", 0
                      printf "Talvik firmware seed image"
                      for (i = 0; i < 934; ++i) printf "%c", (i * 37 + 11) % 256 }' \
    >"$hwi/fuzz_hwi_firmware/image.bin"
objcopy -I binary -O ihex "$hwi/fuzz_hwi_firmware/image.bin" "$hwi/fuzz_hwi_firmware/image.hex"
# Above 64 KB objcopy writes extended segment (02) and start segment (03) records, above
# 1 MB extended linear (04) and start linear (05) ones.
objcopy -I binary -O ihex --change-addresses=0x10000 --set-start=0x10000 \
    "$hwi/fuzz_hwi_firmware/image.bin" "$hwi/fuzz_hwi_firmware/image-segment.hex"
objcopy -I binary -O ihex --change-addresses=0x08000000 --set-start=0x08000000 \
    "$hwi/fuzz_hwi_firmware/image.bin" "$hwi/fuzz_hwi_firmware/image-linear.hex"
echo "seeds written under $root/fuzz"
