#!/usr/bin/env bash
# Runs the Windows test layers (Win32 unit tests and end-to-end tests) under Wine.
# --win64 runs the 64-bit build under 64-bit Wine even where 32-bit Wine works;
# the other arguments go to ctest.
set -euo pipefail
if [ "${1:-}" = --win64 ]; then
    export QUILLET_WINDOWS_ARCH=win64
    shift
fi
source "$(dirname "$0")/wine-env.sh"
wine_fixed_layout "$0" "$@"
wine_session_start
trap wine_session_stop EXIT
echo "Windows tests: $(basename "$WINDOWS_BUILD") build under $(basename "$WINE"), display $DISPLAY"
ctest --test-dir "$WINDOWS_BUILD" --output-on-failure --timeout 900 "$@"
