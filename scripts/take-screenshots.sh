#!/usr/bin/env bash
# take-screenshots.sh [OUT_DIR]
# Takes the README's screenshots (the main window, the schedule dialog, the
# noise library, the file picker with its preview and the problem report)
# into OUT_DIR (docs/ by default), as a person sees them: the program as the
# package installs it, under a window manager that draws the windows' frames.
# The installed package is used when it is the one `make package` built;
# otherwise that package is unpacked into a scratch folder and run from there.
# HAUNTWATCH_BINARY names another binary to take them of (a build folder's);
# QT_SCALE_FACTOR=1.5 takes them on a screen scaled by one and a half.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath "${1:-$top/docs}")
bash "$top/scripts/install-deps.sh" openbox xdotool imagemagick x11-utils

work=$(mktemp -d /tmp/hauntwatch-screenshots.XXXXXX)
trap 'rm -rf "$work"' EXIT
if [[ -n "${HAUNTWATCH_BINARY:-}" ]]; then
  binary=$(realpath "$HAUNTWATCH_BINARY")
  noises=$(dirname "$binary")/../share/hauntwatch/noises
else
  shopt -s nullglob
  debs=("$top"/build-release/hauntwatch_*.deb)
  shopt -u nullglob
  (( ${#debs[@]} == 1 )) || { echo "build the package first: make package" >&2; exit 1; }
  deb=${debs[0]}
  if [[ "$(dpkg-query -W -f='${Version}' hauntwatch 2>/dev/null || true)" == "$(dpkg-deb -f "$deb" Version)" ]]; then
    prefix=/usr
  else
    echo "note: the pictures show the scratch folder's paths; for /usr paths, first: sudo apt install $deb"
    dpkg-deb -x "$deb" "$work/root"
    prefix=$work/root/usr
  fi
  binary=$prefix/bin/hauntwatch
  noises=$prefix/share/hauntwatch/noises
fi
noises=$(realpath "$noises")
echo "screenshots of $binary into $out"
mkdir -p "$out" "$work/home" "$work/config"

# A first evening's settings: two rows, a quiet night, one noise that fails.
python3 - "$work/home/noises.hwt" "$noises" <<'PY'
import struct, sys
out, noises = sys.argv[1], sys.argv[2]
def s(t):
    b = t.encode(); return bytes([len(b)]) + b
lib = [("Dog barking", noises + "/dog-barking.wav"), ("Footsteps", noises + "/footsteps.wav"),
       ("Television", noises + "/television.wav"), ("Voices", noises + "/voices-in-another-room.wav"),
       ("Door", noises + "/door.wav"), ("Old clock", "/media/usb/old-clock.wav")]
data = struct.pack("<i", len(lib)) + b"".join(s(a) + s(b) for a, b in lib)
rows = [("Dog barking", lib[0][1], 90, 0, 2), ("Television", lib[2][1], 180, 1, 1),
        ("Old clock", lib[5][1], 1, 1, 1), ("NOTHING", "None", 60, 0, 1), ("NOTHING", "None", 60, 0, 1)]
for name, path, iv, mode, rep in rows:
    data += s(name) + s(path) + struct.pack("<iiiI", iv, mode, rep, 0)
data += struct.pack("<ii", 23, 7)
open(out, "wb").write(data)
PY

cat > "$work/session.sh" <<EOS
set -euo pipefail
export HAUNTWATCH_HOME="$work/home" XDG_CONFIG_HOME="$work/config" HAUNTWATCH_AO=null ASAN_OPTIONS=detect_leaks=0
unset HAUNTWATCH_DATA_DIR
# The window manager is ready once it has claimed the screen.
openbox & wm=\$!
timeout 30 bash -c 'until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.1; done'
# Waits for a window by its title and prints its id.
window_named() { timeout 30 xdotool search --sync --onlyvisible --name "\$1" | head -1; }
# The window with the frame the window manager drew around it.
shot() { import -frame -window "\$1" "$out/\$2.png"; }
# "X Y WIDTH HEIGHT" of a window's inside on the screen (xdotool's own
# geometry is off by the frame under a window manager).
geometry() {
  xwininfo -id "\$1" | awk '/Absolute upper-left X/ { x = \$NF } /Absolute upper-left Y/ { y = \$NF }
                            /Width:/ { w = \$NF } /Height:/ { h = \$NF } END { print x, y, w, h }'
}
# Clicks a point given in dialog units of a dialog's template, as the dialog
# is scaled on screen.
click_in() {
  local x y w h
  read -r x y w h < <(geometry "\$1")
  xdotool mousemove --sync \$((x + w * \$2 / \$4)) \$((y + h * \$3 / \$5)) click 1
}
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
settle "\$win"; shot "\$win" main-window
xdotool windowactivate --sync "\$win" key ctrl+c
dlg=\$(window_named 'So, What Do You Want')
settle "\$dlg"; shot "\$dlg" schedule-dialog
# "Edit Noises" sits at 161 x 257 of the dialog's 300 x 271 units.
click_in "\$dlg" 161 257 300 271
lib=\$(window_named '^Add or Delete Noises\$')
settle "\$lib"; shot "\$lib" noise-library
# "Add a Noise" sits at 135 x 152 of the library's 317 x 166 units.
click_in "\$lib" 135 152 317 166
picker=\$(window_named '^Open\$')
# Highlight the dog in the folder view (Shift+Tab from the file-name field,
# then the first letters): the preview pane then offers to play it.
xdotool windowactivate --sync "\$picker"
xdotool key shift+Tab
xdotool type --delay 30 dog
settle "\$picker"; shot "\$picker" file-picker
kill \$pid; wait \$pid || true
[[ -n "${SKIP_PROBLEM_REPORT:-}" ]] && { kill \$wm; exit 0; }

# A second evening on a machine whose sound server is gone: Mervo gets the
# cupcake, every play fails, and the problem report tells which.
export HAUNTWATCH_AO=jack JACK_NO_START_SERVER=1 JACK_DEFAULT_SERVER=hauntwatch-none
"$binary" & pid=\$!
win=\$(window_named '^Hauntwatch\$')
# The cupcake lies 250..400 x 200..300 in the picture, below the menu bar.
read -r x y w h < <(geometry "\$win")
xdotool mousemove --sync \$((x + 320)) \$((y + 275)) click 1
# The old clock, every minute from a USB stick that is not there, fails at
# the first minute's pass.
sleep 65
xdotool windowactivate --sync "\$win" key ctrl+e
report=\$(window_named 'Any errors')
settle "\$report"; shot "\$report" problem-report
kill \$pid; wait \$pid || true
kill \$wm
EOS
xvfb-run -a -s "-screen 0 ${SCREEN_SIZE:-1280x1024}x24" bash "$work/session.sh"
ls -l "$out"/*.png
