#!/bin/bash
# The program's start, first paint included, loads only what every start needs: no image
# plugin (a picture read while the window paints loads them all), neither module (the sheets'
# reader, the browser engine) and none of the libraries loaded on first use (libzip with
# libcrypto, qrencode).
set -u
program=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp -r "$(dirname "$program")/Resources" "$program" "$folder"/
LD_DEBUG=files TAVRIN_QUIT_WHEN_SHOWN=1 QT_QPA_PLATFORM=offscreen \
    timeout 60 "$folder/tavrin" > "$folder/said" 2> "$folder/loaded"
grep -q '^shown ' "$folder/said" || { echo "the window was not shown"; cat "$folder/said"; exit 1; }
# The trace is read at all: the platform plugin is always among what it names.
grep -q 'file=.*libqoffscreen' "$folder/loaded" || { echo "no loading traced"; exit 1; }
extra=$(grep -oE 'file=[^ ]*(imageformats|libtavrin_omr|libtavrin_web|WebEngine|libzip|libcrypto|qrencode)[^ ]*' \
    "$folder/loaded" | sort -u)
if [ -n "$extra" ]; then
    printf 'loaded at start:\n%s\n' "$extra"
    exit 1
fi
echo "start loads no image plugin and no module"
