#!/usr/bin/env bash
# Runs the Windows test layers (Win32 unit tests and end-to-end tests) under Wine.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
wine_session_start
trap wine_session_stop EXIT
echo "Windows tests: $(basename "$WINDOWS_BUILD") build under $(basename "$WINE"), display $DISPLAY"
ctest --test-dir "$WINDOWS_BUILD" --output-on-failure --timeout 900 "$@"
