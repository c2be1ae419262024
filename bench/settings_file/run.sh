#!/usr/bin/env bash
set -euo pipefail
"$1/bench/settings_file/bench_settings_file"
