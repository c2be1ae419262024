#!/usr/bin/env bash
# diary-screenshot.sh [HAUNTWATCH] [OUT.png]
# Takes docs/diary-window.png: "Mervo's Diary" on the fourteenth day of a
# trip, as a person sees it under Openbox: on duty since before the week
# shown, a play about every hour but at night, a noise on a USB stick that is
# gone failing every time for days, and one morning the machine down for an
# hour (a power cut) and the guard resumed.  The diary is prepared around the
# present moment; the settings file is the household's, and the program is
# started as the autostart entry starts it, with --resume.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$top/build/hauntwatch}")
out=$(realpath -m "${2:-$top/docs/diary-window.png}")
bash "$top/scripts/install-deps.sh" openbox xdotool imagemagick x11-utils >/dev/null
[[ -x "$program" ]] || { echo "no program at $program: build it first" >&2; exit 1; }

work=$(mktemp -d /tmp/hauntwatch-diary-shot.XXXXXX)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do timeout 5 tail --pid="$pid" -f /dev/null 2>/dev/null || kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home HAUNTWATCH_HOME=$work/home/hauntwatch XDG_CONFIG_HOME=$work/home/.config
export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/runtime HAUNTWATCH_AO=null HAUNTWATCH_VO=null
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8 TZ="${TZ:-Europe/Berlin}"
unset SESSION_MANAGER WAYLAND_DISPLAY QT_SCALE_FACTOR
mkdir -p "$HAUNTWATCH_HOME" "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
noises=$(dirname "$(realpath "$program")")/../share/hauntwatch/noises
[[ -d "$noises" ]] || noises=$top/res/data/noises

python3 - "$HAUNTWATCH_HOME" "$(realpath "$noises")" <<'PY'
import datetime, random, struct, sys
home, noises = sys.argv[1], sys.argv[2]
def s(t):
    b = t.encode(); return bytes([len(b)]) + b
lib = [("Dog barking", noises + "/dog-barking.wav"), ("Footsteps", noises + "/footsteps.wav"),
       ("Television", noises + "/television.wav"), ("Voices", noises + "/voices-in-another-room.wav"),
       ("Door", noises + "/door.wav"), ("Old clock", "/media/usb/old-clock.wav")]
data = struct.pack("<i", len(lib)) + b"".join(s(a) + s(b) for a, b in lib)
rows = [("Dog barking", lib[0][1], 90, 0, 2), ("Television", lib[2][1], 180, 1, 1),
        ("Footsteps", lib[1][1], 45, 0, 1), ("Door", lib[4][1], 120, 1, 1), ("Old clock", lib[5][1], 300, 1, 1)]
for name, path, every, mode, repeat in rows:
    data += s(name) + s(path) + struct.pack("<iiiI", every, mode, repeat, 0)
data += struct.pack("<ii", 23, 7)
open(home + "/noises.hwt", "wb").write(data)

# Thirteen days and a bit: plays every three quarters of an hour or so,
# quiet from 23:00 to 07:00, the old clock's USB stick gone from day 6 on (a
# failure at each of its turns), and on day 12 the power off from 05:10 to
# 06:02.
random.seed(7)
now = datetime.datetime.now().astimezone().replace(microsecond=0)
start = (now - datetime.timedelta(days=13)).replace(hour=16, minute=12, second=4)
down_from = (now - datetime.timedelta(days=2)).replace(hour=5, minute=10, second=0)
down_to = down_from.replace(hour=6, minute=2)
def iso(t): return t.astimezone().isoformat(timespec="seconds")
lines = [f"{iso(start)}\tguard on"]
t = start
resumed = False
while True:
    t += datetime.timedelta(minutes=random.randint(25, 60), seconds=random.randint(0, 59))
    if t > now - datetime.timedelta(minutes=5):
        break
    if not resumed and t > down_from:
        lines.append(f"{iso(down_to)}\tguard resumed\t{iso(start)}")
        resumed = True
        t = down_to
        continue
    if t.hour >= 23 or t.hour < 7:
        wake = t.replace(hour=7, minute=0, second=0)
        if t.hour >= 23:
            wake += datetime.timedelta(days=1)
        lines.append(f"{iso(t)}\tquiet until\t{iso(wake)}")
        t = wake
        continue
    if t > start + datetime.timedelta(days=5) and random.random() < 0.3:
        lines.append(f"{iso(t)}\tfailed\t/media/usb/old-clock.wav\tfile missing")
        continue
    name, path = random.choice([lib[0], lib[1], lib[2], lib[4]])
    for _ in range(2 if name == "Dog barking" else 1):
        lines.append(f"{iso(t)}\tplayed\t{path}")
open(home + "/diary.log", "w").write("\n".join(lines) + "\n")
open(home + "/on-duty", "w").write(iso(start) + "\n")
PY

mkfifo "$work/display.fifo"
exec {fd}<>"$work/display.fifo"
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>&"$fd" >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 20 -u "$fd" number
exec {fd}>&-
export DISPLAY=:$number
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
timeout 30 bash -c 'until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.1; done'

"$program" --resume >"$work/program.log" 2>&1 &
pids+=($!)
main=$(timeout 30 xdotool search --sync --onlyvisible --name '^Hauntwatch$' | head -1)
timeout 10 bash -c "until [[ \$(xdotool getwindowfocus) == $main ]]; do sleep 0.05; done"
xdotool key ctrl+d
diary=$(timeout 30 xdotool search --sync --onlyvisible --name "^Mervo's Diary$" | head -1)
# A window is drawn some moments after it maps: take it once two pictures in a row agree.
settle() {
  local previous= current
  for attempt in $(seq 50); do
    import -window root -crop "${fw}x${fh}+${fx}+${fy}" +repage "$work/shot.png"
    current=$(md5sum <"$work/shot.png")
    [[ "$current" == "$previous" ]] && return
    previous=$current
    sleep 0.2
  done
}
# The window with the frame the window manager drew around it.
read -r fx fy fw fh < <(xwininfo -id "$diary" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                                                   /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}')
read -r left right top bottom < <(xprop -id "$diary" _NET_FRAME_EXTENTS | grep -o '= .*' | tr -d '=,')
fx=$((fx - left)) fy=$((fy - top)) fw=$((fw + left + right)) fh=$((fh + top + bottom))
settle
# Point at the failure (the timeline's one red mark), so the picture shows
# what pointing tells.
read -r mx my < <(convert "$work/shot.png" -crop "${fw}x200+0+0" +repage txt:- |
  awk -F'[ ,:]+' '/#D01C1C/ {print $1, $2; exit}')
if [[ -n "${mx:-}" ]]; then
  # The red square tops the mark: its middle, a little lower.
  xdotool mousemove --sync $((fx + mx + 3)) $((fy + my + 12))
  cp "$work/shot.png" "$work/before.png"
  for attempt in $(seq 50); do
    sleep 0.1
    import -window root -crop "${fw}x${fh}+${fx}+${fy}" +repage "$work/shot.png"
    cmp -s "$work/shot.png" "$work/before.png" || break
  done
  settle
fi
mkdir -p "$(dirname "$out")"
cp "$work/shot.png" "$out"
echo "wrote $out"
