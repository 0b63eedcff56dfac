#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on a Debian machine.
# Idempotent: packages already present are not fetched again. Run as root.
set -euo pipefail

packages=(
  g++-mingw-w64-i686 mingw-w64-i686-dev g++-mingw-w64-x86-64 mingw-w64-x86-64-dev
  libz-mingw-w64-dev
  wine wine32:i386 wine64 xvfb imagemagick
  fonts-wine fonts-liberation libasound2-plugins libxrender1 libxcursor1 libxrandr2
  libxi6 libxinerama1 libxcomposite1 libxfixes3
  libfreetype-dev libharfbuzz-dev libpng-dev
  libavcodec-dev libavformat-dev libswscale-dev libswresample-dev libavutil-dev pkg-config
  zlib1g-dev libgsm1-dev libgsm-tools googletest libgtest-dev libbenchmark-dev libminizip-dev
  zip unzip p7zip-full sox espeak-ng cmake make g++ clang libclang-rt-14-dev dpkg-dev
)

sources=/etc/apt/sources.list.d/debian.sources
stamp_dir=/var/lib/quillet-setup

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  missing+=(i386-arch)
fi
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# libgsm for Windows is compiled from Debian's source package during the build,
# so apt needs a deb-src entry mirroring the binary one.
need_src=0
if [ -f "$sources" ] && ! grep -q '^Types:.*deb-src' "$sources"; then
  need_src=1
fi

if [ ${#missing[@]} -eq 0 ] && [ $need_src -eq 0 ]; then
  exit 0
fi

if [ $need_src -eq 1 ]; then
  # Copy the first stanza (the main archive) as a deb-src stanza.
  awk 'BEGIN{RS=""; ORS="\n\n"} NR==1 {sub(/Types: deb/, "Types: deb-src"); print; exit}' \
    "$sources" >> "$sources"
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${packages[@]}"
mkdir -p "$stamp_dir"
