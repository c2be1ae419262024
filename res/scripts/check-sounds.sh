#!/bin/bash
# Prints format, length, peak and loudness of every sound in a data folder and
# fails when one is not 16-bit mono PCM, is outside its length range, clips
# or is nearly silent.  With a second argument, also draws a spectrogram of
# each into that folder for looking at.  Usage: check-sounds.sh DATA_DIR [PNG_DIR]
set -euo pipefail
data=${1:?usage: check-sounds.sh DATA_DIR [PNG_DIR]}
pngs=${2:-}
status=0
check() {
  local file=$1 min=$2 max=$3
  local name rate channels bits encoding length peak rms
  name=$(basename "$file" .wav)
  rate=$(soxi -r "$file"); channels=$(soxi -c "$file"); bits=$(soxi -b "$file"); encoding=$(soxi -e "$file")
  length=$(soxi -D "$file")
  peak=$(sox "$file" -n stats 2>&1 | awk '/^Pk lev dB/ { print $4 }')
  rms=$(sox "$file" -n stats 2>&1 | awk '/^RMS lev dB/ { print $4 }')
  printf '%-28s %5s Hz %s ch %2s bit %6.2f s  peak %6s dB  rms %6s dB  %7d bytes\n' \
    "$name" "$rate" "$channels" "$bits" "$length" "$peak" "$rms" "$(stat -c %s "$file")"
  local fail=""
  [[ $channels == 1 && $bits == 16 && $encoding == "Signed Integer PCM" ]] || fail+=" format"
  [[ $rate == 22050 || $rate == 44100 ]] || fail+=" rate"
  awk -v l="$length" -v a="$min" -v b="$max" 'BEGIN { exit !(l >= a && l <= b) }' || fail+=" length"
  awk -v p="$peak" 'BEGIN { exit !(p < -0.5) }' || fail+=" clipping"
  awk -v r="$rms" 'BEGIN { exit !(r > -35) }' || fail+=" too-quiet"
  if [ -n "$fail" ]; then echo "  FAIL:$fail"; status=1; fi
  if [ -n "$pngs" ]; then
    sox "$file" -n spectrogram -x 600 -y 257 -t "$name" -o "$pngs/$name.png"
  fi
}
check "$data/thanks.wav" 1 3
check "$data/mervo.wav" 1 3
for f in "$data"/noises/*.wav; do check "$f" 2 6; done
total=$(du -cb "$data"/*.wav "$data"/noises/*.wav | awk 'END { print $1 }')
echo "total $total bytes"
[ "$total" -lt 2000000 ] || { echo "FAIL: data folder too large"; status=1; }
exit $status
