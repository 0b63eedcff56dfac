#!/usr/bin/env bash
# Installs what one goal needs on a Debian machine: `setup.sh demo`, `setup.sh test`,
# `setup.sh bench`, `setup.sh fuzz`, or everything when no goal is given. Idempotent:
# when every package of the goal is present, nothing is fetched and no root is
# needed. Otherwise run as root.
#
# Each goal has one list, and every goal installs the demo's list too; `test` adds
# the rest of what `make test` needs, `bench` and `fuzz` add theirs to that. A new
# package goes in the first list whose goal needs it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# The demo: the native tools it runs (movietool, orvanetool and ziptool with their
# libraries), the Windows build this machine can run (its cross compiler is added
# below), Wine with Xvfb and the fonts its screenshots show, and the sound and
# picture tools that make the movie's sounds and save the screenshots.
demo_packages=(
  cmake make g++ zlib1g-dev libdeflate-dev libgsm1-dev libminizip-dev
  libfreetype-dev libharfbuzz-dev libpng-dev pkg-config
  libavcodec-dev libavformat-dev libswscale-dev libswresample-dev libavutil-dev
  dpkg-dev
  wine wine32:i386 wine64 xvfb fonts-wine fonts-liberation
  libxrender1 libxcursor1 libxrandr2 libxi6 libxinerama1 libxcomposite1 libxfixes3
  sox espeak-ng imagemagick
)

# Every test layer: GoogleTest (native, and its sources for the Windows builds),
# clang for the sanitizer build, both Windows builds, and the independent tools whose
# archives and GSM frames the tests read (Info-ZIP, 7-Zip, toast).
test_packages=(
  googletest libgtest-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-i686-posix mingw-w64-i686-dev g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  libz-mingw-w64-dev
  zip unzip p7zip-full libgsm-tools
  # ALSA's extra plugins (PulseAudio, resamplers; some 100 packages with their
  # libraries). The file sink that Wine plays into is ALSA's own and the 32-bit Wine
  # has always run without the plugins' i386 part, so the demo does without them;
  # the Windows tests keep the set-up they were timed on.
  libasound2-plugins
)

# The benchmarks compare against independent tools (FFmpeg's screen-codec decoder
# for the key pictures).
bench_packages=(
  libbenchmark-dev python3 ffmpeg
)

# The fuzz targets need nothing beyond the sanitizer build and the seeds' tools.
fuzz_packages=(
)

# The cross compiler of the one Windows build the demo runs. The builds use the
# compilers with POSIX threads only; the packages without a suffix would add the
# win32-threads variant as well (some 200 MB).
windows_packages_win32=(g++-mingw-w64-i686-posix mingw-w64-i686-dev libz-mingw-w64-dev)
windows_packages_win64=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev)

goal=${1:-all}
case "$goal" in
  demo) packages=("${demo_packages[@]}") ;;
  test) packages=("${demo_packages[@]}" "${test_packages[@]}") ;;
  bench) packages=("${demo_packages[@]}" "${test_packages[@]}" "${bench_packages[@]}") ;;
  fuzz) packages=("${demo_packages[@]}" "${test_packages[@]}" "${fuzz_packages[@]}") ;;
  all) packages=("${demo_packages[@]}" "${test_packages[@]}" "${bench_packages[@]}" "${fuzz_packages[@]}") ;;
  *) echo "usage: $0 [demo|test|bench|fuzz]" >&2; exit 2 ;;
esac

sources=/etc/apt/sources.list.d/debian.sources
apt_updated=0

missing_from() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

install_missing() {
  local missing
  mapfile -t missing < <(missing_from "$@")
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ $apt_updated -eq 0 ]; then
    apt-get update -q
    apt_updated=1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# The two steps below change apt's sources; its package lists are then read afresh.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  sources_changed=1
fi

# libgsm and libdeflate for Windows are compiled from Debian's source packages during
# the build, so apt needs a deb-src entry mirroring the binary one.
if [ -f "$sources" ] && ! grep -q '^Types:.*deb-src' "$sources"; then
  # Copy the first stanza (the main archive) as a deb-src stanza.
  awk 'BEGIN{RS=""; ORS="\n\n"} NR==1 {sub(/Types: deb/, "Types: deb-src"); print; exit}' \
    "$sources" >> "$sources"
  sources_changed=1
fi
if [ "${sources_changed:-0}" -eq 1 ]; then
  apt-get update -q
  apt_updated=1
fi

install_missing "${packages[@]}"

# The demo's Windows build is the one this machine can run, which only the installed
# Wine can tell; the other goals install both cross compilers.
if [ "$goal" = demo ]; then
  source "$root/scripts/wine-env.sh"
  if [ "$(windows_arch)" = win32 ]; then
    install_missing "${windows_packages_win32[@]}"
  else
    install_missing "${windows_packages_win64[@]}"
  fi
fi
