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

# Mixed content: text, noise, sparse binary, many small files.
python3 - "$work/source" <<'PY'
import os, random, sys
root = sys.argv[1]
random.seed(11)
def put(name, data):
    path = os.path.join(root, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
words = [b"frame", b"band", b"cursor", b"object", b"sound", b"player", b"movie", b"disc"]
for i in range(8):
    put(f"text/log{i}.txt", b" ".join(random.choice(words) for _ in range(1_500_000)))
for i in range(4):
    put(f"media/noise{i}.bin", os.urandom(20_000_000))
for i in range(4):
    block = bytearray(12_000_000)
    for j in range(0, len(block), 97):
        block[j] = j & 0xFF
    put(f"media/sparse{i}.dat", bytes(block))
for i in range(2000):
    put(f"pages/p{i // 100}/page{i}.html", b"<p>" + os.urandom(random.randint(100, 4000)).hex().encode() + b"</p>")
PY
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
