#!/usr/bin/env bash
# Runs every benchmark's run.sh with the benchmark build folder.
set -euo pipefail
build=$(realpath "${1:-build-bench}")
cd "$(dirname "$0")"
status=0
for script in */run.sh; do
  echo "== ${script%/run.sh}"
  bash "$script" "$build" || { echo "   (failed)"; status=1; }
  echo
done
exit $status
