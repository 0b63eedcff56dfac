#!/usr/bin/env bash
# Feeds every hostile movie to movietool info, sounds and export as a user would,
# under a 2 GB address limit like the 32-bit player's and a time limit. A tool may
# refuse a movie (exit 1 with a message) but never abort, die of a signal, hang or
# write more than the movie's stored bytes can hold.
#
# usage: hostile_tools.sh WRITE_HOSTILE_MOVIES MOVIETOOL WORK SANITIZED(0|1)
set -uo pipefail
writer=${1:?writer} movietool=${2:?movietool} work=${3:?work folder} sanitized=${4:-0}
limit_kb=2097152
seconds=60
# What deflate can pack at most: about 1 032 bytes out for a byte in.
deflate_ratio=1032
largest_plausible=$((1 << 30))

rm -rf "$work"
mkdir -p "$work/movies"
"$writer" "$work/movies" || { echo "writing the hostile movies failed" >&2; exit 1; }

if [ "$sanitized" = 1 ]; then
    # The sanitizer reserves far more address space than any limit allows; its own
    # resident-memory limit stands in, and its reports end the tool with a code the
    # checks below refuse.
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}hard_rss_limit_mb=2048:exitcode=86"
    export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}exitcode=86:print_stacktrace=1"
fi

failures=0
fail() {
    echo "FAIL $name: $*" >&2
    sed 's/^/    /' "$err" | head -n 20 >&2
    failures=$((failures + 1))
}

out=$work/out.txt
err=$work/err.txt
# run COMMAND...: the command's exit code in rc, its output in $out and $err.
run() {
    if [ "$sanitized" = 1 ]; then
        timeout -k 5 "$seconds" "$@" >"$out" 2>"$err"
    else
        (ulimit -v "$limit_kb" && exec timeout -k 5 "$seconds" "$@") >"$out" 2>"$err"
    fi
    rc=$?
}

# check WHAT: the last run ended by itself, in time, without a sanitizer report.
check() {
    if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
        fail "$1 did not end within ${seconds} s"
    elif [ "$rc" -ne 0 ] && [ "$rc" -ne 1 ]; then
        fail "$1 ended with code $rc (an abort, a signal or a sanitizer report)"
    elif grep -qE 'Sanitizer|runtime error:' "$err"; then
        fail "$1 drew a sanitizer report"
    elif [ "$rc" -eq 1 ] && [ ! -s "$err" ] && ! tr -d ' \n' <"$out" | grep -q '"messages":\["'; then
        # movietool sounds tells what went wrong in its report's messages.
        fail "$1 failed without a message"
    fi
}

while IFS=$'\t' read -r name refused planted what; do
    movie=$work/movies/$name.qmv
    size=$(stat -c %s "$movie")
    started=$(date +%s)

    run "$movietool" info "$movie"
    check "movietool info"
    info_rc=$rc
    if [ "$refused" = 1 ] && { [ "$rc" -eq 0 ] || ! grep -q 'Invalid or damaged files\.' "$err"; }; then
        fail "movietool info should refuse it with the damaged-file message (exit $rc)"
    fi

    sounds=$work/sounds/$name
    mkdir -p "$sounds"
    run "$movietool" sounds "$movie" "$sounds"
    check "movietool sounds"
    bound=$((size * deflate_ratio))
    [ "$bound" -le "$largest_plausible" ] || bound=$largest_plausible
    # The stream behind this claim holds 256 KB: the claim itself must not be written.
    [ "$name" = sound_claims_200mb ] && bound=$((1 << 20))
    largest=0
    while IFS= read -r -d '' file; do
        written=$(stat -c %s "$file")
        [ "$written" -le "$largest" ] || largest=$written
        [ "$written" -lt "$bound" ] || fail "movietool sounds wrote ${written} bytes to ${file##*/} (bound ${bound})"
    done < <(find "$sounds" -type f -print0)
    rm -rf "$sounds"
    sounds_rc=$rc

    # An export refuses what info refuses, and leaves no video behind when it fails.
    video=$work/export.mp4
    run "$movietool" export "$movie" "$video"
    check "movietool export"
    if [ "$refused" = 1 ] && [ "$rc" -eq 0 ]; then
        fail "movietool export should refuse it"
    fi
    if [ "$rc" -ne 0 ] && { [ -e "$video" ] || [ -e "$work/.export.mp4.part" ]; }; then
        fail "movietool export failed and left a file behind"
    fi
    rm -f "$video"

    printf '%-26s %9d bytes  info %d  sounds %d  export %d  largest file %9d  %2d s  %s\n' \
        "$name" "$size" "$info_rc" "$sounds_rc" "$rc" "$largest" $(($(date +%s) - started)) "$what"
done <"$work/movies/movies.txt"

count=$(wc -l <"$work/movies/movies.txt")
[ "$count" -gt 0 ] || { echo "no hostile movies were written" >&2; exit 1; }
echo "$count hostile movies, $failures failures"
[ "$failures" -eq 0 ]
