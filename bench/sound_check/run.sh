#!/usr/bin/env bash
# A private PulseAudio server with two null sinks, "a" (Speakers, the default)
# and "b" (muted), for both sound-check benchmarks.
set -euo pipefail
build=$(realpath "$1")
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/hauntwatch-bench-sound.XXXXXX)
server=
cleanup() {
  if [[ -n $server ]]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/run" "$work/home"
chmod 700 "$work/run"
cat >"$work/server.pa" <<PA
load-module module-null-sink sink_name=a sink_properties=device.description=Speakers
load-module module-null-sink sink_name=b sink_properties=device.description=Muted
load-module module-native-protocol-unix auth-anonymous=1 socket=$work/run/pulse.socket
set-default-sink a
set-sink-mute b 1
PA
export HOME=$work/home XDG_RUNTIME_DIR=$work/run PULSE_SERVER=unix:$work/run/pulse.socket
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
  -F "$work/server.pa" >"$work/server.log" 2>&1 &
server=$!
timeout 20 bash -c 'until pactl info >/dev/null 2>&1; do sleep 0.1; done' \
  || { echo "the sound server did not start"; cat "$work/server.log"; exit 1; }

HAUNTWATCH_BENCH_HOME=$work/home QT_QPA_PLATFORM=offscreen \
  "$build/bench/sound_check/bench_guard_start_check"
echo
"$build/bench/sound_check/bench_sound_onset" a "$top/tests/data/tone.wav"
