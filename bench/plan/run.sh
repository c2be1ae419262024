#!/usr/bin/env bash
set -euo pipefail
"$1/bench/plan/bench_plan"
