#!/usr/bin/env bash
# Runs the playback benchmark of the Windows build under Wine and Xvfb, with FFmpeg's
# screen-codec (ZMBV) decoder as the reference for key pictures: the benchmark writes
# its key pictures raw, FFmpeg encodes them with every frame a key frame and then
# decodes them on one thread, and the frames per second go to the benchmark, which
# prints the ratio.
set -euo pipefail
source "$(dirname "$0")/../scripts/wine-env.sh"
wine_session_start
work=$(mktemp -d)
trap 'rm -rf "$work"; wine_session_stop' EXIT

reference=("reference-note=ffmpeg is not installed (scripts/setup.sh bench installs it)")
if command -v ffmpeg >/dev/null; then
    "$WINE" "$WINDOWS_BUILD/bench/playback_bench.exe" raw-frames "$(winepath -w "$work/key.raw" 2>/dev/null || echo "$work/key.raw")"
    # 24 pictures of 1024 x 768, 32 bits; decoded ten times over.
    ffmpeg -v error -f rawvideo -pix_fmt bgr0 -s 1024x768 -r 30 -i "$work/key.raw" \
        -c:v zmbv -g 1 -keyint_min 1 -y "$work/key.avi"
    rm -f "$work/key.raw"
    frames=240
    seconds=$(ffmpeg -hide_banner -nostats -benchmark -threads 1 -stream_loop 9 -i "$work/key.avi" \
        -f null - 2>&1 | sed -n 's/.*rtime=\([0-9.]*\)s.*/\1/p' | tail -n 1)
    if [ -n "$seconds" ]; then
        reference=("reference-fps=$(awk -v f=$frames -v s="$seconds" 'BEGIN { printf "%.1f", f / s }')")
    else
        reference=("reference-note=ffmpeg gave no timing")
    fi
fi
"$WINE" "$WINDOWS_BUILD/bench/playback_bench.exe" "${reference[@]}"
# Four minutes or so: a two-minute movie, twice.
"$WINE" "$WINDOWS_BUILD/bench/narration_sync_bench.exe"
