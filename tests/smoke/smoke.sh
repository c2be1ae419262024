#!/usr/bin/env bash
# smoke.sh HAUNTWATCH PICTURE_CHECK PICTURE.bmp
# Starts the real program under Xvfb and drives it with xdotool.
set -euo pipefail
program=$1 checker=$2 picture=$3

if [[ "${SMOKE_INSIDE_XVFB:-}" != 1 ]]; then
  for tool in xvfb-run xdotool xwininfo import; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/install-deps.sh installs it)"; exit 1; }
  done
  SMOKE_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
  [[ -n "$pid" ]] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

export HAUNTWATCH_HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
export HAUNTWATCH_AO=null HAUNTWATCH_VO=null
mkdir -p "$HAUNTWATCH_HOME" "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# An empty settings file loads without a message box.
: > "$HAUNTWATCH_HOME/noises.hwt"

"$program" & pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Hauntwatch$' | head -1) ||
  fail "no window named Hauntwatch appeared"
echo "window $window"

geometry=$(xwininfo -id "$window")
width=$(awk '/Width:/ {print $2}' <<<"$geometry")
height=$(awk '/Height:/ {print $2}' <<<"$geometry")
[[ "$width" == 460 && "$height" == 395 ]] || fail "window is ${width}x${height}, not 460x395"
echo "size ${width}x${height}"

# The first paint may still be on its way: try the screenshot a few times.
found=
for attempt in 1 2 3 4 5 6 7 8 9 10; do
  import -window "$window" "$work/shot.png"
  status=0
  top=$("$checker" "$work/shot.png" "$picture") || status=$?
  if [[ $status == 0 ]]; then found=$top; break; fi
  [[ $status == 77 ]] && fail "the picture file to compare with is missing"
  sleep 0.3
done
[[ -n "$found" ]] || fail "the picture is not at the left edge of the view"
(( found > 0 && found < 60 )) || fail "picture at row $found, not just below the menu bar"
echo "picture at 0,$found"

# The lock indicators follow the keys: the bottom rows change with Caps Lock
# on and come back with it off.
status_bar() { import -window "$window" -crop 460x24+0+371 "rgb:$work/$1.rgb"; }
xdotool windowfocus --sync "$window"
status_bar off
xdotool key Caps_Lock; sleep 0.5; status_bar on
xdotool key Caps_Lock; sleep 0.5; status_bar off-again
! cmp -s "$work/off.rgb" "$work/on.rgb" || fail "the status bar did not change when Caps Lock went on"
cmp -s "$work/off.rgb" "$work/off-again.rgb" || fail "the status bar did not return when Caps Lock went off"
echo "lock indicator follows Caps Lock"

# A second start with the same home folder hands its file over and exits.
cp "$HAUNTWATCH_HOME/noises.hwt" "$work/handed.hwt"
timeout 20 "$program" "$work/handed.hwt" || fail "the second start did not exit cleanly"
kill -0 "$pid" 2>/dev/null || fail "the running program ended when the second one started"
for attempt in $(seq 50); do
  grep -qs "handed.hwt" "$HAUNTWATCH_HOME/hauntwatch.conf" && break
  sleep 0.1
done
grep -qs "handed.hwt" "$HAUNTWATCH_HOME/hauntwatch.conf" || fail "the running program did not open the handed file"
echo "second start handed its file over"

# A "c:\qwendrik\" name means the home folder's file whatever folder the
# second start runs in: it reaches the running program as given.
(cd / && timeout 20 "$program" 'c:\qwendrik\noises.hwt') || fail "the second start with a c:\\qwendrik name did not exit cleanly"
for attempt in $(seq 50); do
  grep -qsF 'qwendrik\\noises.hwt' "$HAUNTWATCH_HOME/hauntwatch.conf" && break
  sleep 0.1
done
grep -qsF 'qwendrik\\noises.hwt' "$HAUNTWATCH_HOME/hauntwatch.conf" ||
  fail "the running program did not open the home folder's file named by c:\\qwendrik"
echo "second start handed a c:\\qwendrik name over as given"

xdotool windowfocus --sync "$window"
xdotool key alt+q
status=0
timeout 20 tail --pid="$pid" -f /dev/null || fail "the program did not quit on &Quit"
wait "$pid" || status=$?
pid=
[[ $status == 0 ]] || fail "the program exited with $status"
echo "quit on &Quit"
