#!/usr/bin/env bash
# Runs the playback benchmark of the Windows build under Wine and Xvfb.
set -euo pipefail
source "$(dirname "$0")/../scripts/wine-env.sh"
wine_session_start
trap wine_session_stop EXIT
"$WINE" "$WINDOWS_BUILD/bench/playback_bench.exe"
# Four minutes or so: a two-minute movie, twice.
"$WINE" "$WINDOWS_BUILD/bench/narration_sync_bench.exe"
