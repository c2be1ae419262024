#!/usr/bin/env bash
# run.sh BUILD_DIR [RUNS]: start to first paint and resident memory, the
# median of RUNS starts each, Hauntwatch beside a bare Qt window: under Xvfb
# (X11), then under a headless GNOME Shell on Wayland (gnome.sh).
set -euo pipefail
build=$(realpath "$1") runs=${2:-15}
here=$(cd "$(dirname "$0")" && pwd)

source "$here/../window-session.sh"
source "$here/compare.sh"
compare_starts "$build" "$runs" "$work" "platform: ${QT_QPA_PLATFORM:-xcb (Xvfb)}"
echo
bash "$here/gnome.sh" "$build" "$runs"
