#!/usr/bin/env bash
# Runs the settings loader fuzzer for a bounded time from a small seed corpus.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-120}
here=$(cd "$(dirname "$0")" && pwd)
corpus="$here/corpus-run"
mkdir -p "$corpus"
cp -n "$here"/seeds/* "$corpus"/ 2>/dev/null || true
"$build/fuzz/settings_loader_fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$here/" "$corpus"
