#!/usr/bin/env bash
# gnome.sh BUILD_DIR [RUNS]: the start comparison under GNOME Shell on
# Wayland, headless, in the end-to-end suite's private session (its buses,
# PipeWire and shell); both programs are Wayland clients of the shell.
build=$(realpath "$1") runs=${2:-15}
top=$(cd "$(dirname "$0")/../.." && pwd)
if ! command -v gnome-shell >/dev/null; then
  echo "GNOME Shell on Wayland: skipped, gnome-shell is not installed"
  exit 0
fi
export HW_PROGRAM=$build/bench/startup/bench_startup_hauntwatch HW_ROUNDTRIP=/bin/true
export HW_PICTURE=$top/res/picture/mansion.bmp HW_ARTIFACTS=${TMPDIR:-/tmp}/hauntwatch-bench-gnome
: "${HW_WATCHDOG:=900}"
source "$top/tests/e2e/lib.sh"
source "$top/tests/e2e/gnome.sh"
source "$(dirname "$0")/compare.sh"
hw_begin_gnome_session >/dev/null
step "measure the starts"
export QT_QPA_PLATFORM=wayland HAUNTWATCH_AO=null HAUNTWATCH_VO=null
# Sanitizer builds: Qt's process-lifetime caches are not leaks.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
compare_starts "$build" "$runs" "$HW_TMP" "platform: wayland (headless GNOME Shell 43)"
