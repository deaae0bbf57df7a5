#!/usr/bin/env bash
# Makes the default media shipped in resources/: two quiet music loops and a calm
# background picture. Run by hand when they are to change (needs sox, lame, imagemagick);
# the results are committed, so a build needs none of these tools.
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/resources"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A soft plucked arpeggio over a quiet pad, faded in and out so it loops without a click.
loop() { # name, pad notes, arpeggio notes
  local name=$1 pad=$2 notes=$3 i=0 parts=()
  for n in $notes; do
    sox -n -r 22050 -c 1 "$work/n$i.wav" synth 0.6 pluck "$n" fade 0.01 0.6 0.45 vol 0.5
    parts+=("$work/n$i.wav"); i=$((i + 1))
  done
  sox "${parts[@]}" "$work/arp.wav"
  local len; len=$(soxi -D "$work/arp.wav")
  local padparts=()
  for n in $pad; do
    sox -n -r 22050 -c 1 "$work/p$n.wav" synth "$len" sine "$n" vol 0.06
    padparts+=("$work/p$n.wav")
  done
  sox -m "${padparts[@]}" "$work/pad.wav"
  sox -m "$work/arp.wav" "$work/pad.wav" "$work/mix.wav" reverb 40 fade 0.3 "$len" 0.8 \
      norm -14
  lame --quiet -m m -b 48 --tt "$name" --ta "Tavrin" "$work/mix.wav" "$out/$name.mp3"
}

loop MySound1 "C3 G3 E4" "C4 E4 G4 C5 G4 E4 C4 E4 G4 C5 E5 C5 G4 E4 D4 E4"
loop MySound2 "A2 E3 C4" "A3 C4 E4 A4 E4 C4 A3 C4 E4 G4 E4 C4 B3 C4 D4 C4"

# A calm sky-to-sand gradient with a soft light, 1024x768.
convert -size 1024x768 gradient:'#dfeef7-#f5efe0' \
  \( -size 1024x768 radial-gradient:'#ffffff80-#ffffff00' \) -compose over -composite \
  -blur 0x2 -quality 82 "$out/MyBack.jpg"
