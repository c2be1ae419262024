#!/usr/bin/env bash
set -euo pipefail
"$1/bench/timer_lateness/bench_timer_lateness"
