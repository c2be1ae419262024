#!/usr/bin/env bash
# Makes the small movie the media tests play (committed, so tests need no ffmpeg).
set -euo pipefail
cd "$(dirname "$0")/../tests/data"
command -v ffmpeg >/dev/null || bash ../../scripts/install-deps.sh ffmpeg
ffmpeg -loglevel error -y -f lavfi -i "testsrc=size=64x48:rate=10:duration=1" \
  -f lavfi -i "sine=frequency=440:duration=1" -c:v mjpeg -q:v 10 -c:a pcm_u8 -ar 8000 -ac 1 clip.avi
