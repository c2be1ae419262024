#!/usr/bin/env bash
# take-play-through-screenshot.sh [OUT_DIR]
# Takes docs/play-through.png (into OUT_DIR, docs/ by default): Say Whut? ->
# Play Through as a person sees it, under a window manager that draws its
# frame, with a private sound server offering three outputs and the speaker
# by the front door chosen for Mervo.  The program is the package `make
# package` built, unpacked into a scratch folder, or HAUNTWATCH_BINARY.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath "${1:-$top/docs}")
bash "$top/scripts/install-deps.sh" openbox xdotool imagemagick x11-utils pulseaudio pulseaudio-utils

work=$(mktemp -d /tmp/hauntwatch-screenshot.XXXXXX)
trap 'rm -rf "$work"' EXIT
if [[ -n "${HAUNTWATCH_BINARY:-}" ]]; then
  binary=$(realpath "$HAUNTWATCH_BINARY")
else
  shopt -s nullglob
  debs=("$top"/build-release/hauntwatch_*.deb)
  shopt -u nullglob
  (( ${#debs[@]} == 1 )) || { echo "build the package first (make package), or set HAUNTWATCH_BINARY" >&2; exit 1; }
  dpkg-deb -x "${debs[0]}" "$work/root"
  binary=$work/root/usr/bin/hauntwatch
fi
echo "Play Through of $binary into $out"
mkdir -p "$out" "$work/home" "$work/config" "$work/pulse"
chmod 700 "$work/pulse"
# Five empty rows: the first start then has nothing to say.
python3 - "$work/home/noises.hwt" <<'PY'
import struct, sys
def s(t):
    b = t.encode(); return bytes([len(b)]) + b
data = struct.pack("<i", 0) + b"".join(s("NOTHING") + s("None") + struct.pack("<iiiI", 60, 0, 1, 0) for _ in range(5))
open(sys.argv[1], "wb").write(data + struct.pack("<ii", 23, 7))
PY
printf '[Sound]\nOutput=bluez_sink.front_door\n' > "$work/home/hauntwatch.conf"
cat > "$work/pulse.pa" <<PA
load-module module-null-sink sink_name=alsa_output.pci-0000_00_1f.3.analog-stereo sink_properties=device.description="Built-in\ Audio\ Analog\ Stereo"
load-module module-null-sink sink_name=alsa_output.pci-0000_01_00.1.hdmi-stereo sink_properties=device.description="HDMI\ /\ DisplayPort\ (living\ room\ TV)"
load-module module-null-sink sink_name=bluez_sink.front_door sink_properties=device.description="Front\ door\ speaker"
set-default-sink alsa_output.pci-0000_00_1f.3.analog-stereo
load-module module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/socket
PA

cat > "$work/session.sh" <<EOS
set -euo pipefail
export HAUNTWATCH_HOME="$work/home" XDG_CONFIG_HOME="$work/config" PULSE_SERVER="unix:$work/pulse/socket"
unset HAUNTWATCH_AO HAUNTWATCH_DATA_DIR
HOME="$work/pulse" XDG_RUNTIME_DIR="$work/pulse" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
  --use-pid-file=no --disable-shm=yes -F "$work/pulse.pa" >"$work/pulse/log" 2>&1 & pulse=\$!
timeout 20 bash -c 'until pactl info >/dev/null 2>&1; do sleep 0.1; done'
openbox & wm=\$!
timeout 30 bash -c 'until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.1; done'
window_named() { timeout 30 xdotool search --sync --onlyvisible --name "\$1" | head -1; }
# A window is drawn some moments after it maps: take it once two screenshots
# in a row are the same.
settle() {
  local previous= current
  for attempt in \$(seq 50); do
    current=\$(import -window "\$1" rgb:- | md5sum)
    [[ "\$current" == "\$previous" ]] && return
    previous=\$current
    sleep 0.1
  done
}
"$binary" & pid=\$!
win=\$(window_named '^Hauntwatch\$')
settle "\$win"
# Play Through is the last item of Say Whut?: Up from the first wraps to it.
# The menu takes a moment to open; keys sent before it has are lost, and then
# the menu is closed and opened again.
dlg=
for attempt in 1 2 3; do
  xdotool windowactivate --sync "\$win" key --delay 300 alt+s Up Return
  dlg=\$(timeout 10 xdotool search --sync --onlyvisible --name '^Play Through\$' | head -1) && break
  xdotool key Escape Escape
done
[[ -n "\$dlg" ]] || { echo "Play Through did not open" >&2; exit 1; }
settle "\$dlg"
import -frame -window "\$dlg" "$out/play-through.png"
kill \$pid; wait \$pid || true
kill \$wm \$pulse; wait \$pulse || true
EOS
xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/session.sh"
ls -l "$out/play-through.png"
