#!/usr/bin/env bash
# Runs one stage of a longer job with its whole output in a log file, and prints one
# line for it: what it did, how long it took and where its log is. When the stage
# fails, the end of its log follows, so that the cause shows without opening it.
#
#   stage.sh "building native tools" build/logs/demo-native.log COMMAND [ARGS...]
set -uo pipefail
if [ $# -lt 3 ]; then
    echo "usage: $0 DESCRIPTION LOG COMMAND [ARGS...]" >&2
    exit 2
fi
description=$1
log=$2
shift 2
mkdir -p "$(dirname "$log")"

printf '%-44s ' "$description ..."
started=$(date +%s%N)
"$@" >"$log" 2>&1 </dev/null
status=$?
elapsed=$((($(date +%s%N) - started) / 1000000))
seconds=$(printf '%d.%d' $((elapsed / 1000)) $((elapsed % 1000 / 100)))

if [ $status -eq 0 ]; then
    printf '%6s s   (log: %s)\n' "$seconds" "$log"
    exit 0
fi
printf 'failed after %s s\n' "$seconds"
echo "---- last lines of $log ----"
tail -n 40 "$log"
echo "---- the whole output is in $log ----"
exit $status
