#!/usr/bin/env bash
# Decoding speed of a 10-minute GSM speech track: the player's decoder against sox
# decoding the same frames, both file to file. Prints the best of five runs of each
# and the ratio sox time / player time (above 1: the player's decoder is faster).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
decoder=${GSM_DECODER:-$root/build/native/bench/gsm_decode_file}
work=${BENCH_WORK:-$root/build/bench/gsm}
rm -rf "$work" && mkdir -p "$work"

# Ten minutes of speech-like sound: sweeping tones over noise.
sox -n -r 8000 -b 16 -c 1 -e signed -t raw "$work/speech.raw" \
    synth 600 sine 150-3400 sine 220 pinknoise remix - gain -n -3
toast -l -c "$work/speech.raw" > "$work/speech.gsm"
ls -l "$work/speech.gsm" | awk '{printf "frames: %d (%.1f MB)\n", $5 / 33, $5 / 1e6}'

best() {
    local best=""
    for run in 1 2 3 4 5; do
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s.%N)
        best=$(python3 -c "a='$best'; t=$end-$start; print(t if not a else min(float(a), t))")
    done
    echo "$best"
}

sox_time=$(best sox -t gsm -r 8000 -c 1 "$work/speech.gsm" -t wav -e signed -b 16 "$work/sox.wav")
player_time=$(best "$decoder" "$work/speech.gsm" "$work/player.wav")
cmp -s <(tail -c +45 "$work/sox.wav") <(tail -c +45 "$work/player.wav") && echo "same samples as sox"
python3 -c "print(f'sox     {$sox_time:.3f} s'); print(f'player  {$player_time:.3f} s'); print(f'ratio sox/player = {$sox_time / $player_time:.2f}')"
