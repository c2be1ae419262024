#!/usr/bin/env bash
# run.sh BUILD_DIR: the remote control's delays at a private local Mosquitto,
# in the module with a stand-in guard, then with the real program.
set -euo pipefail
build=$1
command -v mosquitto >/dev/null || { echo "mosquitto is not installed (scripts/install-deps.sh installs it)"; exit 1; }
BENCH_NEEDS="xvfb-run"
source "$(dirname "$0")/../window-session.sh"
QT_QPA_PLATFORM=offscreen "$build/bench/remote/bench_remote"
echo
QT_QPA_PLATFORM=offscreen "$build/bench/remote/bench_remote_diary"
echo
: > "$HAUNTWATCH_HOME/noises.hwt"
"$build/bench/remote/bench_remote" --program "$build/hauntwatch" "$(dirname "$0")/../../res/data/thanks.wav"
