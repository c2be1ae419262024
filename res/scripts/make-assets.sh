#!/bin/bash
# Regenerates every asset under res/ from nothing: the window picture, the
# icons, the guard's two sounds and the sample noises.  The results are kept
# in the repository, so building never needs these tools; run this only after
# changing the art or the sound design.
# Usage: res/scripts/make-assets.sh [RES_DIR]   (default: the res/ folder above)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
res=${1:-$(dirname "$here")}

# Tools, from Debian's packages when missing.
need=()
command -v python3 >/dev/null || need+=(python3)
command -v rsvg-convert >/dev/null || need+=(librsvg2-bin)
command -v identify >/dev/null || need+=(imagemagick)
command -v sox >/dev/null || need+=(sox)
command -v espeak-ng >/dev/null || need+=(espeak-ng)
command -v awk >/dev/null || need+=(gawk)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${need[@]}"
fi

bash "$here/make-art.sh" "$res"
bash "$here/make-sounds.sh" "$res/data"

identify "$res/picture/mansion.bmp" "$res/icons/"*.png
bash "$here/check-sounds.sh" "$res/data"
