#!/usr/bin/env bash
# run.sh BUILD_DIR [RUNS]: opening the schedule dialog with 100 noises beside an
# empty library, under Xvfb when there is one (else offscreen).
set -euo pipefail
build=$1 runs=${2:-15}

source "$(dirname "$0")/../window-session.sh"

"$build/bench/schedule_dialog/bench_schedule_dialog" "$runs"
