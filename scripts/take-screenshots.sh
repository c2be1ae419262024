#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb: the main window, the schedule
# dialog, the noise library, the file picker with its preview and the
# problem report, into docs/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/install-deps.sh" xdotool imagemagick
binary="$top/build/hauntwatch"
[[ -x "$binary" ]] || { echo "build first: make build" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/config"
noises="$top/res/data/noises"
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
set -e
export HAUNTWATCH_HOME="$work/home" XDG_CONFIG_HOME="$work/config" HAUNTWATCH_AO=null
"$binary" & pid=\$!
sleep 2
find() { xdotool search --onlyvisible --name "\$1" | head -1; }
# No window manager runs here: cut each window out of the whole screen.
shot() {
  eval \$(xdotool getwindowgeometry --shell "\$1")
  import -window root -crop "\${WIDTH}x\${HEIGHT}+\${X}+\${Y}" +repage "$top/docs/\$2.png"
}
win=\$(find '^Hauntwatch\$')
shot "\$win" main-window
xdotool key --window "\$win" ctrl+c; xdotool keyup ctrl c; sleep 1
dlg=\$(find 'So, What Do You Want')
shot "\$dlg" schedule-dialog
eval \$(xdotool getwindowgeometry --shell "\$dlg")
# "Edit Noises" sits at 161 x 257 of the dialog's 300 x 271 units.
xdotool mousemove \$((X + WIDTH * 161 / 300)) \$((Y + HEIGHT * 257 / 271)) click 1; sleep 1
lib=\$(find 'Add or Delete Noises')
shot "\$lib" noise-library
eval \$(xdotool getwindowgeometry --shell "\$lib")
# "Add a Noise" sits at 135 x 152 of the library's 317 x 166 units.
xdotool mousemove \$((X + WIDTH * 135 / 317)) \$((Y + HEIGHT * 152 / 166)) click 1; sleep 2
picker=\$(xdotool getactivewindow 2>/dev/null || xdotool search --onlyvisible --name '^Open\$|Hauntwatch' | tail -1)
# FIXME: synthetic clicks do not highlight a file of the picker here, so the
# preview pane shows as it does before a file is chosen.
shot "\$picker" file-picker
kill \$pid; wait \$pid || true

# A second evening on a machine whose sound server is gone: Mervo gets the
# cupcake, every play fails, and the problem report tells which.
export HAUNTWATCH_AO=jack JACK_NO_START_SERVER=1 JACK_DEFAULT_SERVER=hauntwatch-none
"$binary" & pid=\$!
sleep 2
win=\$(find '^Hauntwatch\$')
eval \$(xdotool getwindowgeometry --shell "\$win")
# The cupcake lies 250..400 x 200..300 in the picture, below the menu bar.
# The old clock, every minute from a USB stick that is not there, fails first.
xdotool mousemove \$((X + 320)) \$((Y + 275)) click 1; sleep 65
xdotool key --window "\$win" ctrl+e; xdotool keyup ctrl e; sleep 1
shot "\$(find 'Any errors')" problem-report
kill \$pid
EOS
xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/session.sh"
ls -l "$top/docs"/*.png
