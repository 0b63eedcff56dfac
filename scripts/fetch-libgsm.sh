#!/usr/bin/env bash
# Fetches Debian's libgsm source package and unpacks its original sources into $1.
set -euo pipefail
target=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 777 "$work"
cd "$work"
apt-get source --download-only -q libgsm >/dev/null
archive=$(ls libgsm_*.orig.tar.gz | head -n 1)
mkdir -p "$work/unpacked"
tar -xzf "$archive" -C "$work/unpacked"
top=$(find "$work/unpacked" -mindepth 1 -maxdepth 1 -type d | head -n 1)
rm -rf "$target"
mkdir -p "$(dirname "$target")"
cp -r "$top" "$target"
