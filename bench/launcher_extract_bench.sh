#!/usr/bin/env bash
# Extraction through the launcher's project loader against ziptool extract on the
# same project archive (about 200 MB unpacked), made by orvanetool from mixed content.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${BIN:-$root/out/bin}
native=${NATIVE_BUILD:-$root/build/native}
work=${BENCH_WORK:-$root/build/bench/launcher}
rm -rf "$work"
mkdir -p "$work"
python3 "$root/bench/make_bench_content.py" "$work/source"
"$bin/orvanetool" make "$work/source" "$work/disc" --title "Benchmark" --launcher "$bin" >/dev/null
ls -l "$work/disc/Orvane.sdf" | awk '{printf "archive:  %.1f MB\n", $5 / 1e6}'
"$native/bench/launcher_extract_bench" "$work/disc" "$bin/ziptool" "$work"
