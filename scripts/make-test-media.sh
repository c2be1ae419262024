#!/usr/bin/env bash
# Makes the small media files in tests/data that the media tests play:
#   tone.wav     0.2 s of 440 Hz, 8 kHz mono 8-bit
#   clip.avi     1 s, 64x48 at 10 frames/s (MPEG-4) with 8 kHz mono 8-bit sound
#   silent.avi   the same picture without sound
#   corrupt.wav  a WAV whose format chunk names no codec
#   corrupt.avi  an AVI cut short inside its headers
# Bit-exact flags keep the files the same from run to run of one ffmpeg.
set -euo pipefail
out=${1:-$(dirname "$0")/../tests/data}
mkdir -p "$out"
ff=(ffmpeg -hide_banner -loglevel error -y)
exact=(-map_metadata -1 -fflags +bitexact -flags:v +bitexact -flags:a +bitexact)

"${ff[@]}" -f lavfi -i "sine=frequency=440:sample_rate=8000:duration=0.2" \
  -ac 1 -c:a pcm_u8 "${exact[@]}" "$out/tone.wav"

picture="testsrc=size=64x48:rate=10:duration=1"
"${ff[@]}" -f lavfi -i "$picture" -f lavfi -i "sine=frequency=330:sample_rate=8000:duration=1" \
  -c:v mpeg4 -q:v 10 -c:a pcm_u8 -ac 1 -shortest "${exact[@]}" "$out/clip.avi"
"${ff[@]}" -f lavfi -i "$picture" -c:v mpeg4 -q:v 10 -an "${exact[@]}" "$out/silent.avi"

# A RIFF/WAVE file whose format chunk is all zeros (no codec, no channels).
{
  head -c 12 "$out/tone.wav"
  printf 'fmt \x10\x00\x00\x00'
  head -c 16 /dev/zero
  printf 'data\x00\x04\x00\x00'
  printf 'not sound at all %.0s' {1..60}
} > "$out/corrupt.wav"
head -c 200 "$out/clip.avi" > "$out/corrupt.avi"
printf '\0\1\2\3%.0s' {1..64} >> "$out/corrupt.avi"

ls -l "$out"
