#!/usr/bin/env bash
# run.sh BUILD_DIR [RUNS]: opening the schedule dialog with 100 noises beside an
# empty library, under Xvfb when there is one (else offscreen).
set -euo pipefail
build=$1 runs=${2:-15}

if [[ "${BENCH_INSIDE_XVFB:-}" != 1 ]] && command -v xvfb-run >/dev/null; then
  BENCH_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
[[ -n "${DISPLAY:-}" ]] || export QT_QPA_PLATFORM=offscreen

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HAUNTWATCH_HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
export HAUNTWATCH_AO=null HAUNTWATCH_VO=null
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
mkdir -p "$HAUNTWATCH_HOME" "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

"$build/bench/schedule_dialog/bench_schedule_dialog" "$runs"
