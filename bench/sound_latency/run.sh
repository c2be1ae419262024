#!/usr/bin/env bash
set -euo pipefail
HAUNTWATCH_AO=null "$1/bench/sound_latency/bench_sound_latency" "$(cd "$(dirname "$0")/../.." && pwd)/res/data/thanks.wav"
