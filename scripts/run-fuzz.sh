#!/usr/bin/env bash
# Runs each fuzz target for a bounded time, seeded from files made by the project's
# writer and by Info-ZIP. A crash, a leak, a sanitizer report or a timeout fails the run.
set -euo pipefail
build=${1:?build folder}
seconds=${2:-60}
corpus=$(cd "$build" && pwd)/fuzz-corpus
mkdir -p "$corpus/frame_stream" "$corpus/zip" "$corpus/object_section" "$corpus/sound_section" \
    "$corpus/project_description"
"$build/tests/fuzz/make_seeds" "$corpus/frame_stream" "$corpus/object_section" "$corpus/sound_section" \
    "$corpus/project_description"
if [ -z "$(ls -A "$corpus/zip")" ]; then
    seeds=$(mktemp -d)
    trap 'rm -rf "$seeds"' EXIT
    mkdir -p "$seeds/tree/sub"
    seq 1 300 > "$seeds/tree/numbers.txt"
    printf 'plain' > "$seeds/tree/sub/small.txt"
    (cd "$seeds/tree" && zip -q -r -P pw "$corpus/zip/encrypted.zip" . &&
        zip -q -r -0 "$corpus/zip/stored.zip" . &&
        cat numbers.txt | zip -q -P pw "$corpus/zip/streamed.zip" -)
fi

fuzz() {
    local target=$1 folder=$2 time=$3
    echo "fuzzing $target for ${time} s"
    "$build/tests/fuzz/$target" "$folder" -max_total_time="$time" -timeout=10 \
        -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-$target-" 2>&1 | tail -n 6
}
fuzz frame_stream_fuzzer "$corpus/frame_stream" "$seconds"
fuzz zip_reader_fuzzer "$corpus/zip" $((seconds / 2))
fuzz object_section_fuzzer "$corpus/object_section" $((seconds / 2))
fuzz sound_section_fuzzer "$corpus/sound_section" $((seconds / 2))
fuzz project_description_fuzzer "$corpus/project_description" $((seconds / 2))
