#!/usr/bin/env bash
# run.sh BUILD_DIR: the remote control's delays at a private local Mosquitto.
set -euo pipefail
command -v mosquitto >/dev/null || { echo "mosquitto is not installed (scripts/install-deps.sh installs it)"; exit 1; }
QT_QPA_PLATFORM=offscreen "$1/bench/remote/bench_remote"
