#!/usr/bin/env bash
# Runs each fuzz target for a bounded time, seeded from movies made by the writer.
# A crash, a leak, a sanitizer report or a timeout fails the run.
set -euo pipefail
build=${1:?build folder}
seconds=${2:-60}
corpus=$build/fuzz-corpus/frame_stream
mkdir -p "$corpus"
"$build/tests/fuzz/make_seeds" "$corpus"
echo "fuzzing the frame stream reader for ${seconds} s"
"$build/tests/fuzz/frame_stream_fuzzer" "$corpus" -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz-" 2>&1 | tail -n 12
