#!/usr/bin/env bash
# A private PulseAudio server with two null sinks, "a" (Speakers, the default)
# and "b" (muted), for both sound-check benchmarks; then the onset again on a
# private PipeWire (with WirePlumber and pipewire-pulse, as GNOME has it),
# beside the PulseAudio figure of the same run.
set -euo pipefail
build=$(realpath "$1")
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/hauntwatch-bench-sound.XXXXXX)
server=
pipewire=()
cleanup() {
  if [[ -n $server ]]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  for pid in "${pipewire[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
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
"$build/bench/sound_check/bench_sound_onset" a "$top/tests/data/tone.wav" | tee "$work/pulse.txt"
kill "$server"; wait "$server" 2>/dev/null || true; server=

echo
mkdir -p "$work/pw/run" "$work/pw/home"
chmod 700 "$work/pw/run"
export HOME=$work/pw/home XDG_RUNTIME_DIR=$work/pw/run PULSE_SERVER=unix:$work/pw/run/pulse/native
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/pw/run/bus
dbus-daemon --session --address="$DBUS_SESSION_BUS_ADDRESS" --nofork --nopidfile >/dev/null 2>&1 & pipewire+=($!)
pipewire >"$work/pw/pipewire.log" 2>&1 & pipewire+=($!)
timeout 20 bash -c 'until [[ -S $XDG_RUNTIME_DIR/pipewire-0 ]]; do sleep 0.1; done'
wireplumber >"$work/pw/wireplumber.log" 2>&1 & pipewire+=($!)
pipewire-pulse >"$work/pw/pipewire-pulse.log" 2>&1 & pipewire+=($!)
timeout 20 bash -c 'until pactl info >/dev/null 2>&1; do sleep 0.1; done' \
  || { echo "PipeWire did not start"; cat "$work/pw/"*.log; exit 1; }
pactl load-module module-null-sink sink_name=a sink_properties=device.description=Speakers >/dev/null
pactl set-default-sink a
"$build/bench/sound_check/bench_sound_onset" a "$top/tests/data/tone.wav" | tee "$work/pipewire.txt"
echo
median() { awk -v what="$1" 'index($0, what) { for (i = 1; i <= NF; i++) if ($i == "median") print $(i + 1) }' "$2"; }
for series in "guard, new handle" "guard, handle kept"; do
  awk -v s="$series" -v pw="$(median "$series" "$work/pipewire.txt")" -v pa="$(median "$series" "$work/pulse.txt")" \
    'BEGIN { printf "due tick to sound at the sink, %s: PipeWire %.1f ms, plain PulseAudio %.1f ms, ratio %.2f\n", s, pw, pa, pw / pa }'
done
