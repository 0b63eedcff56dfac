#!/usr/bin/env bash
# Makes the disc folders of the launcher's end-to-end tests with the project builder:
#   main     3 files in 2 folders, shown by 2 components
#   wrong    the same, its archive under another password
#   expired  a project whose time has run out
# Usage: make_launcher_discs.sh ORVANETOOL LAUNCHER-FOLDER OUTPUT-FOLDER
set -euo pipefail
orvanetool=$1
launcher=$2
out=$3
rm -rf "$out"
mkdir -p "$out/content/pages" "$out/content/pictures"
printf '<html><body><h1>Index</h1></body></html>\n' > "$out/content/pages/index.html"
printf '<html><body><p>About this disc.</p></body></html>\n' > "$out/content/pages/about.html"
convert -size 24x16 xc:#1e5ad2 "$out/content/pictures/logo.bmp"

"$orvanetool" make "$out/content" "$out/main" --title "Launcher Test" --company "Test Company" \
    --name "E2E Main" --launcher "$launcher" >/dev/null
cp -r "$out/main" "$out/wrong"
rm "$out/wrong/Orvane.sdf"
(cd "$out/content" && zip -q -r -P "not the password" "$out/wrong/Orvane.sdf" .)
"$orvanetool" make "$out/content" "$out/expired" --title "Expired Test" --company "Test Company" \
    --name "E2E Expired" --expires 2001-01-01 --launcher "$launcher" >/dev/null
