#!/usr/bin/env bash
# The main job: records a demo movie of a made-up desktop with the project's own
# writer, appends it to the player and plays it from start to end under Wine, in
# the user's display when DISPLAY is set, else in Xvfb. Screenshots of the view and
# the main window during play, and stills of single frames, go to out/demo/. Then a
# small disc is made with the launcher (a few pages, a picture and the demo movie
# itself), started, and its loading window and project window saved too.
#
# `demo.sh movie` only writes the movie, `demo.sh export` turns it into a video with
# its captions, `demo.sh wine` only prepares Wine (its first start makes the prefix),
# `demo.sh play` plays a movie written before; without an argument it does them all,
# so that `make demo` can time each on its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
part=${1:-all}
case "$part" in
    movie | export | wine | play | all) ;;
    *) echo "usage: $0 [movie|export|wine|play]" >&2; exit 2 ;;
esac
export WINE_USE_DISPLAY=${DISPLAY:+1}
source "$root/scripts/wine-env.sh"
if [ "$part" != movie ] && [ "$part" != export ]; then
    wine_fixed_layout "$0" "$@"
fi

demo=$root/out/demo
movietool=$root/out/bin/movietool
WINDOWS_BUILD=$build_root/$(windows_arch)
player=$WINDOWS_BUILD/player/app/Quillet.exe

# The narration is spoken by the speech synthesiser and stored as GSM speech; the
# recorded clicks and key presses get sounds of their own.
if [ "$part" = movie ] || [ "$part" = all ]; then
    rm -rf "$demo" && mkdir -p "$demo"
    sounds=$demo/sounds-made
    mkdir -p "$sounds"
    espeak-ng -s 150 -w "$sounds/spoken.wav" \
        "This is the Quillet demo. The pointer goes to a program on the desktop and opens it with a double click. \
A window comes up, and three lines of text are typed into it. The movie then ends by itself."
    sox "$sounds/spoken.wav" -r 8000 -c 1 -b 16 "$sounds/narration.wav"
    sox -n -r 22050 -c 1 -b 16 "$sounds/click.wav" synth 0.04 square 900 fade 0 0.04 0.03 vol 0.5
    sox -n -r 22050 -c 1 -b 16 "$sounds/key.wav" synth 0.02 square 2400 fade 0 0.02 0.015 vol 0.3
    "$movietool" make "$demo/demo.movie" --scene desktop --screen 1024x768 --delay 100 --fps 10 \
        --description "Quillet demo movie: a desktop session" \
        --narration "$sounds/narration.wav" --speech --effect 0 "$sounds/click.wav" --effect 6 "$sounds/key.wav"
    "$movietool" pack "$player" "$demo/demo.movie" "$demo/QuilletDemo.exe"
    "$movietool" info "$demo/QuilletDemo.exe" --no-frames > "$demo/demo-info.json"
    echo "demo movie:"
    cat "$demo/demo-info.json"
fi
[ "$part" = movie ] && exit 0

# The same movie as a video for a web page, with its captions beside it.
if [ "$part" = export ] || [ "$part" = all ]; then
    "$movietool" export "$demo/demo.movie" "$demo/demo.mp4" --subtitles "$demo/demo.vtt"
    echo "exported $demo/demo.mp4 ($(stat -c %s "$demo/demo.mp4") bytes) and $demo/demo.vtt"
fi
[ "$part" = export ] && exit 0

wine_session_start
trap wine_session_stop EXIT
[ "$part" = wine ] && exit 0

if [ ! -f "$demo/QuilletDemo.exe" ]; then
    echo "no demo movie in $demo: run $0 movie first" >&2
    exit 1
fi
driver=$WINDOWS_BUILD/tests/driver/qdriver.exe
qdriver() { "$WINE" "$driver" "$@" | tr -d '\r'; }
to_png() { convert "$1" "${1%.bmp}.png" 2>/dev/null && rm -f "$1"; }
# Waits up to SECONDS for process PID to end; fails with MESSAGE when it does not.
wait_for_end() {
    local pid=$1 seconds=$2 message=$3
    for _ in $(seq 1 $((seconds * 2))); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.5
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "$message" >&2
        exit 1
    fi
    wait "$pid" || true
}

echo "playing the demo ($(basename "$WINDOWS_BUILD") build) on display $DISPLAY"
now_ms() { echo $(($(date +%s%N) / 1000000)); }
started=$(now_ms)
# /q: the player closes when the movie has played to its end.
"$WINE" "$demo/QuilletDemo.exe" /q >/dev/null 2>&1 &
player_pid=$!

main=$(qdriver wait "#32770" "Tavrix 2000 Player" 30000)
view=$(qdriver wait QuilletView - 30000)
echo "main window $main, view $view"
# At 2 s the balloon at the icon and the picture show, at 9 s the titled box over
# the typing, at 14 s the arrow to the close box.
for at in 2 9 14; do
    while [ $(($(now_ms) - started)) -lt $((at * 1000)) ]; do sleep 0.1; done
    qdriver capture "$view" "$demo/view-${at}s.bmp" && to_png "$demo/view-${at}s.bmp" || true
    qdriver capture "$main" "$demo/main-window-${at}s.bmp" && to_png "$demo/main-window-${at}s.bmp" || true
    import -window root "$demo/screen-${at}s.png" 2>/dev/null || true
done

# The movie lasts about 15 s; the player ends by itself after it.
wait_for_end "$player_pid" 60 "the player did not end after the movie"
echo "played to the end in $(($(now_ms) - started)) ms"

# What the player sent to the sound device. Under Xvfb that is the session's file
# sink, whose Wine mixer writes 32-bit float stereo at 48 kHz here; its device keeps
# no time, so the silence before and after is cut.
if [ -n "${WINE_SOUND_CAPTURE:-}" ] && [ -s "$WINE_SOUND_CAPTURE" ]; then
    cp "$WINE_SOUND_CAPTURE" "$demo/demo-sound.raw"
    sox -t raw -e floating-point -b 32 -c 2 -r 48000 "$demo/demo-sound.raw" -b 16 "$demo/demo-sound.wav" \
        silence 1 0.05 0.5% reverse silence 1 0.05 0.5% reverse 2>/dev/null &&
        rm -f "$demo/demo-sound.raw" || true
fi

# The exercise: a short movie that holds until the viewer clicks the Notes icon,
# then until the file icon is dragged onto the trash. The driver answers both as a
# viewer would, after a screenshot of each hold. The Windows movietool makes it,
# so that the prompts carry their rendered pictures.
"$WINE" "$WINDOWS_BUILD/tools/movietool.exe" make "$demo/exercise.movie" --scene exercise --screen 640x480 \
    --description "Quillet demo exercise: click, then drag" >/dev/null
"$movietool" pack "$player" "$demo/exercise.movie" "$demo/QuilletExercise.exe"
echo "playing the exercise"
"$WINE" "$demo/QuilletExercise.exe" /q >/dev/null 2>&1 &
player_pid=$!
view=$(qdriver wait QuilletView - 30000)
# Icons at (20, 20), (20, 90) and (20, 160), 32 pixels square.
answers=("click $view 36 36" "drag $view 36 106 36 176")
for hold in 1 2; do
    # A hold is the only time the view keeps its picture for a second and a half.
    if ! qdriver settle "$view" 1500 20000; then
        echo "the exercise did not hold for answer $hold" >&2
        exit 1
    fi
    qdriver capture "$view" "$demo/exercise-hold-$hold.bmp" && to_png "$demo/exercise-hold-$hold.bmp" || true
    qdriver ${answers[$((hold - 1))]}
    echo "hold $hold answered"
    sleep 0.5
done
wait_for_end "$player_pid" 30 "the exercise did not end after its answers"
echo "the exercise played to its end"

# The player's dialogs, each opened once on the demo movie and photographed: the
# run is stopped first, since Setup and Properties wait for an idle player.
echo "showing the dialogs"
"$WINE" "$demo/QuilletDemo.exe" >/dev/null 2>&1 &
player_pid=$!
main=$(qdriver wait "#32770" "Tavrix 2000 Player" 30000)
view=$(qdriver wait QuilletView - 30000)
qdriver command "$main" 32774
for _ in $(seq 1 50); do
    qdriver text "$view" >/dev/null 2>&1 || break
    sleep 0.2
done
dialogs=("32775 Properties Cancel setup-dialog" "32772 File_Properties OK file-properties-dialog"
         "32776 Tavrix_Player_Properties OK about-dialog")
for entry in "${dialogs[@]}"; do
    read -r command caption button name <<<"$entry"
    caption=${caption//_/ }
    dialog=
    # The command is ignored until the stopped run's thread has ended.
    for _ in $(seq 1 10); do
        qdriver command "$main" "$command"
        dialog=$(qdriver wait "#32770" "$caption" 3000) && break
    done
    if [ -z "$dialog" ]; then
        echo "command $command did not open \"$caption\"" >&2
        exit 1
    fi
    qdriver settle "$dialog" 500 5000 || true
    qdriver capture-window "$dialog" "$demo/$name.bmp" && to_png "$demo/$name.bmp" || true
    qdriver press "$dialog" "$button"
    echo "$caption shown"
done
qdriver close "$main"
for _ in $(seq 1 40); do
    kill -0 "$player_pid" 2>/dev/null || break
    sleep 0.5
done
wait "$player_pid" || true

# Single frames as the player rebuilds them, through movietool still.
for frame in 0 40 140; do
    "$WINE" "$WINDOWS_BUILD/tools/movietool.exe" still "$demo/QuilletDemo.exe" "$frame" "$demo/still-$frame.bmp" \
        >/dev/null 2>&1 && to_png "$demo/still-$frame.bmp" || true
done
# The same frame drawn without Windows, by the native build's portable renderer.
"$build_root/native/tools/movietool" still "$demo/QuilletDemo.exe" 40 "$demo/native-still-40.png"

# The launcher: a disc of a few pages, a picture and the movie just played.
content=$demo/disc-content
mkdir -p "$content/Pages"
for page in index about contact; do
    printf '<html><head><title>%s</title></head><body><h1>%s</h1><p>A page of the demo disc.</p></body></html>\n' \
        "$page" "$page" > "$content/Pages/$page.html"
done
convert -size 320x200 gradient:'#1e5ad2'-'#f0f0f0' -fill white -draw "circle 160,100 160,40" "$content/Picture.bmp"
cp "$demo/QuilletDemo.exe" "$content/QuilletDemo.exe"
"$root/out/bin/orvanetool" make "$content" "$demo/disc" --title "Quillet Demo Disc" --company "Quillet and Orvane" \
    --launcher "$WINDOWS_BUILD/launcher/bin" > "$demo/disc.json"
echo "demo disc:"
cat "$demo/disc.json"

"$WINE" "$demo/disc/Orvane.exe" >/dev/null 2>&1 &
launcher_pid=$!
qdriver wait-capture "#32770" Orvane "$demo/launcher-loading.bmp" 30000 >/dev/null &&
    to_png "$demo/launcher-loading.bmp" || echo "the loading window was gone before it could be saved"
project=$(qdriver wait OrvaneProject "Quillet Demo Disc" 30000)
qdriver capture "$project" "$demo/launcher-project.bmp" && to_png "$demo/launcher-project.bmp" || true
import -window root "$demo/launcher-screen.png" 2>/dev/null || true
qdriver close "$project"
wait_for_end "$launcher_pid" 30 "the launcher did not end after its project window closed"
echo "the launcher ended with its project window"

echo "screenshots in $demo:"
ls "$demo"
