#!/usr/bin/env bash
# Extraction speed of ziptool against Info-ZIP unzip on the same password-protected
# archive of mixed files (about 200 MB unpacked), into the same disk. Prints the best
# of three runs of each and the ratio unzip time / ziptool time (above 1: ziptool is
# faster).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
ziptool=${ZIPTOOL:-$root/out/bin/ziptool}
work=${BENCH_WORK:-$root/build/bench/zip}
rm -rf "$work"
mkdir -p "$work/source"

python3 "$root/bench/make_bench_content.py" "$work/source"
(cd "$work/source" && zip -q -r -P benchmark "$work/archive.zip" .)
du -sb "$work/source" | awk '{printf "unpacked: %.1f MB\n", $1 / 1e6}'
ls -l "$work/archive.zip" | awk '{printf "archive:  %.1f MB\n", $5 / 1e6}'

best() {
    local best=""
    for run in 1 2 3; do
        rm -rf "$work/out"
        mkdir -p "$work/out"
        sync
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null
        end=$(date +%s.%N)
        best=$(python3 -c "a='$best'; t=$end-$start; print(t if not a else min(float(a), t))")
    done
    echo "$best"
}

unzip_time=$(best unzip -q -o -P benchmark "$work/archive.zip" -d "$work/out")
ziptool_time=$(best "$ziptool" extract "$work/archive.zip" "$work/out" --password benchmark)
diff -r "$work/source" "$work/out" >/dev/null && echo "ziptool output identical to the source"
python3 -c "print(f'unzip   {$unzip_time:.3f} s'); print(f'ziptool {$ziptool_time:.3f} s'); print(f'ratio unzip/ziptool = {$unzip_time / $ziptool_time:.2f}')"
