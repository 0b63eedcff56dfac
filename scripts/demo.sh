#!/usr/bin/env bash
# The main job: builds a demo movie with the project's own writer, appends it to the
# player and plays it under Wine, in the user's display when DISPLAY is set, else in
# Xvfb. Screenshots go to out/demo/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINE_USE_DISPLAY=${DISPLAY:+1}
source "$root/scripts/wine-env.sh"
wine_session_start
trap wine_session_stop EXIT

demo=$root/out/demo
mkdir -p "$demo"
movietool=$root/out/bin/movietool
player=$WINDOWS_BUILD/player/app/Quillet.exe
driver=$WINDOWS_BUILD/tests/driver/qdriver.exe

# A few full-screen pictures: a desktop where a window opens and a line is typed.
frames=$demo/frames
rm -rf "$frames" && mkdir -p "$frames"
convert -size 800x600 "xc:#3a6ea5" -fill "#c0c0c0" -draw "rectangle 0,570 799,599" "$frames/000.bmp"
convert "$frames/000.bmp" -fill white -stroke "#000080" -draw "rectangle 150,100 650,420" \
    -fill "#000080" -draw "rectangle 150,100 650,122" "$frames/001.bmp"
for i in 1 2 3 4 5 6; do
    convert "$frames/001.bmp" -fill black -draw "rectangle 170,150 $((170 + 60 * i)),162" \
        "$frames/$(printf '%03d' $((i + 1))).bmp"
done
"$movietool" make "$demo/demo.movie" --description "Quillet demo movie" --frames "$frames" --delay 400
"$movietool" pack "$player" "$demo/demo.movie" "$demo/QuilletDemo.exe"
"$movietool" info "$demo/QuilletDemo.exe" > "$demo/demo-info.json"
echo "demo movie:"
cat "$demo/demo-info.json"

echo "starting the player ($(basename "$WINDOWS_BUILD") build) on display $DISPLAY"
"$WINE" "$demo/QuilletDemo.exe" >/dev/null 2>&1 &
player_pid=$!

main=$("$WINE" "$driver" wait "#32770" "Tavrix 2000 Player" 30000 | tr -d '\r')
echo "main window: $main"
"$WINE" "$driver" capture "$main" "$demo/main-window.bmp" || true
if command -v convert >/dev/null; then
    convert "$demo/main-window.bmp" "$demo/main-window.png" 2>/dev/null && rm -f "$demo/main-window.bmp"
fi
import -window root "$demo/screen.png" 2>/dev/null || true

"$WINE" "$driver" close "$main"
wait "$player_pid" || true

# Frames of the movie as the player rebuilds them, through movietool still.
for frame in 0 3 7; do
    "$WINE" "$WINDOWS_BUILD/tools/movietool.exe" still "$demo/QuilletDemo.exe" "$frame" "$demo/still-$frame.bmp" >/dev/null 2>&1 &&
        convert "$demo/still-$frame.bmp" "$demo/still-$frame.png" 2>/dev/null && rm -f "$demo/still-$frame.bmp"
done
echo "screenshots in $demo"
