#!/usr/bin/env bash
# run.sh BUILD_DIR: "Mervo's Diary" opened and refreshed on a fourteen-day
# diary of 20,000 lines, beside the same with an empty diary.
set -euo pipefail
build=$1
source "$(dirname "$0")/../window-session.sh"
"$build/bench/diary_window/bench_diary_window"
