#!/usr/bin/env bash
# Runs each fuzz target for a bounded time, seeded from files made by the project's
# writer (the hostile movies among them) and by independent tools (Info-ZIP, sox).
# Inputs may be a few megabytes, as large as the movies that once ran out of memory.
# A crash, a leak, a sanitizer report or a timeout fails the run.
#
# usage: run-fuzz.sh BUILD --total SECONDS   the targets share SECONDS evenly (make test)
#        run-fuzz.sh BUILD --each SECONDS    every target runs SECONDS (make fuzz)
# Targets run one after the other: each is single-threaded.
set -euo pipefail
build=${1:?build folder}
mode=${2:-}
seconds=${3:-}

# One line per target: the fuzzer, its corpus folder, the function that seeds it.
targets=(
    "frame_stream_fuzzer frame_stream seed_frame_stream"
    "zip_reader_fuzzer zip seed_zip"
    "wav_reader_fuzzer wav seed_wav"
    "object_section_fuzzer object_section seed_object_section"
    "sound_section_fuzzer sound_section seed_sound_section"
    "version_dispatch_fuzzer version_dispatch seed_version_dispatch"
    "project_description_fuzzer project_description seed_project_description"
    "band_compositing_fuzzer band_compositing seed_frame_stream"
    "hotspot_rules_fuzzer hotspot_rules seed_hotspot_rules"
)

case "$mode" in
    --total) each=$((${seconds:?seconds} / ${#targets[@]})) ;;
    --each) each=${seconds:?seconds} ;;
    *) echo "usage: $0 BUILD (--total|--each) SECONDS" >&2; exit 2 ;;
esac

corpus=$(cd "$build" && pwd)/fuzz-corpus
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

seed_frame_stream() {
    "$build/tests/fuzz/make_seeds" frame_stream "$1"
}

seed_object_section() {
    "$build/tests/fuzz/make_seeds" object_section "$1"
}

seed_sound_section() {
    "$build/tests/fuzz/make_seeds" sound_section "$1"
}

seed_version_dispatch() {
    "$build/tests/fuzz/make_seeds" version_dispatch "$1"
}

seed_hotspot_rules() {
    "$build/tests/fuzz/make_seeds" hotspot_rules "$1"
}

seed_project_description() {
    "$build/tests/fuzz/make_seeds" project_description "$1"
}

seed_zip() {
    mkdir -p "$scratch/tree/sub"
    seq 1 300 > "$scratch/tree/numbers.txt"
    printf 'plain' > "$scratch/tree/sub/small.txt"
    (cd "$scratch/tree" && zip -q -r -P pw "$1/encrypted.zip" . &&
        zip -q -r -0 "$1/stored.zip" . &&
        cat numbers.txt | zip -q -P pw "$1/streamed.zip" -)
    "$build/tests/fuzz/make_seeds" zip "$1"
}

seed_wav() {
    sox -n -r 11025 -b 8 -c 1 -e unsigned "$1/mono8.wav" synth 0.05 sine 440
    sox -n -r 22050 -b 16 -c 2 -e signed "$1/stereo16.wav" synth 0.02 sine 440
    sox -n -r 8000 -b 16 -c 1 -e signed --comment "seed" "$1/comment.wav" synth 0.01 sine 440
}

fuzz() {
    local target=$1 folder=$2 log="$build/fuzz-$1.log"
    echo "fuzzing $target for $each s"
    if ! "$build/tests/fuzz/$target" "$folder" -max_total_time="$each" -timeout=10 \
        -rss_limit_mb=2048 -max_len=4000000 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-$target-" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "$target failed; its log: $log" >&2
        return 1
    fi
    grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb))' "$log"
}

for line in "${targets[@]}"; do
    read -r target folder seed <<<"$line"
    mkdir -p "$corpus/$folder"
    # Seeded once; the corpus then keeps what the runs found.
    [ -n "$(ls -A "$corpus/$folder")" ] || "$seed" "$corpus/$folder"
    fuzz "$target" "$corpus/$folder"
done
