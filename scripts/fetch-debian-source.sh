#!/usr/bin/env bash
# Fetches a Debian source package and unpacks its original sources into a folder.
# usage: fetch-debian-source.sh PACKAGE FOLDER
set -euo pipefail
package=$1
target=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 777 "$work"
cd "$work"
apt-get source --download-only -q "$package" >/dev/null
archive=$(ls "${package}"_*.orig.tar.* | head -n 1)
mkdir -p "$work/unpacked"
tar -xf "$archive" -C "$work/unpacked"
top=$(find "$work/unpacked" -mindepth 1 -maxdepth 1 -type d | head -n 1)
rm -rf "$target"
mkdir -p "$(dirname "$target")"
cp -r "$top" "$target"
