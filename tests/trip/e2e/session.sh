# A small harness for the trip cases: its own X server (Xvfb -displayfd)
# and openbox, a private home, a stand-in xdg-open that notes each file the
# program starts, and steps that fail fast with their name.  Sourced by a
# case; CTest passes HW_PROGRAM (the built hauntwatch) and HAUNTWATCH_DATA_DIR.
set -Eeuo pipefail

: "${HW_WATCHDOG:=240}"
if [[ -z "${TRIP_UNDER_WATCHDOG:-}" ]]; then
  export TRIP_UNDER_WATCHDOG=1
  exec timeout --kill-after=10 "$HW_WATCHDOG" bash "$0" "$@"
fi
[[ -n "${HW_PROGRAM:-}" ]] || { echo "FAIL: HW_PROGRAM is not set (run the case through ctest)" >&2; exit 2; }

CASE=$(basename "$0" .sh)
STEP="setting up"
TMP=$(mktemp -d "${TMPDIR:-/tmp}/hauntwatch-trip.XXXXXX")
GROUPS_FILE="$TMP/process-groups"
: >"$GROUPS_FILE"
PROGRAM_PID=""

step() { STEP="$*"; printf '[%s] step: %s\n' "$(date +%T)" "$*"; }
note() { printf '  %s\n' "$*"; }

fail() {
  trap - ERR
  printf 'FAIL in %s, step "%s": %s\n' "$CASE" "$STEP" "$*" >&2
  if [[ -s "$TMP/program.stderr" ]]; then
    echo "--- the program's standard error (last 20 lines) ---" >&2
    tail -n 20 "$TMP/program.stderr" >&2
  fi
  [[ -f "${HAUNTWATCH_HOME:-/nonexistent}/diary.log" ]] && { echo "--- diary.log ---" >&2; cat "$HAUNTWATCH_HOME/diary.log" >&2; }
  exit 1
}
trap 'fail "command failed (status $?): $BASH_COMMAND"' ERR
trap 'fail "watchdog: the case ran longer than ${HW_WATCHDOG} s"' TERM INT

# Everything this case started runs in a process group of its own, ended here.
end_groups() {
  local pgid
  while read -r pgid; do [[ -n "$pgid" ]] && kill -TERM -- "-$pgid" 2>/dev/null || true; done <"$GROUPS_FILE"
  while read -r pgid; do
    [[ -n "$pgid" ]] || continue
    timeout 5 tail --pid="$pgid" -f /dev/null 2>/dev/null || kill -KILL -- "-$pgid" 2>/dev/null || true
  done <"$GROUPS_FILE"
}
on_exit() {
  local status=$?
  trap - ERR TERM INT
  set +e
  [[ $status == 0 ]] && echo "PASS: $CASE"
  end_groups
  rm -rf "$TMP"
  exit "$status"
}
trap on_exit EXIT

spawn() {
  setsid "$@" </dev/null &
  LAST_PID=$!
  echo "$LAST_PID" >>"$GROUPS_FILE"
}

# wait_until SECONDS WHAT COMMAND...: polls until COMMAND succeeds.
wait_until() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    ((SECONDS < deadline)) || fail "gave up after ${seconds} s waiting for: $what"
    sleep 0.05
  done
}

begin_session() {
  export HOME="$TMP/home"
  export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
  export XDG_RUNTIME_DIR="$TMP/runtime" HAUNTWATCH_HOME="$HOME/hauntwatch"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$HAUNTWATCH_HOME"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  export HAUNTWATCH_AO=null HAUNTWATCH_VO=null QT_QPA_PLATFORM=xcb LANG="${LANG:-C.UTF-8}"
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/no-session-bus"
  unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_STYLE_OVERRIDE SESSION_MANAGER DISPLAY WAYLAND_DISPLAY XAUTHORITY

  step "start an X server and openbox"
  mkfifo "$TMP/display.fifo"
  local fd number=""
  exec {fd}<>"$TMP/display.fifo"
  spawn Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>&"$fd" >"$TMP/xvfb.log" 2>&1
  read -r -t 20 -u "$fd" number || true
  exec {fd}>&-
  [[ "$number" =~ ^[0-9]+$ ]] || fail "Xvfb did not report a display: $(cat "$TMP/xvfb.log")"
  export DISPLAY=":$number"
  spawn openbox --sm-disable >"$TMP/openbox.log" 2>&1
  wait_until 20 "openbox to manage the screen" wm_running

  # xdg-open, first on the program's PATH, notes what it was asked to open.
  mkdir -p "$TMP/bin"
  STARTED_LOG="$TMP/started.log"
  : >"$STARTED_LOG"
  printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s"\n' "$STARTED_LOG" >"$TMP/bin/xdg-open"
  chmod +x "$TMP/bin/xdg-open"
}
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# settings_with_one_minute_note FILE: a settings file whose first row starts
# FILE every minute, with no quiet hours (equal hours), written as the
# program writes it.
settings_with_one_minute_note() {
  python3 - "$HAUNTWATCH_HOME/noises.hwt" "$1" <<'PY'
import struct, sys, time
path, note = sys.argv[1], sys.argv[2].encode()
def s(b): return bytes([len(b)]) + b
unscheduled = int(time.mktime((2020, 1, 1, 1, 1, 1, 0, 0, -1)))
out = struct.pack("<i", 1) + s(b"Note") + s(note)
rows = [(b"Note", note, 1, 1, 1)] + [(b"NOTHING", b"None", 0, 1, 1)] * 4
for name, where, every, mode, repeat in rows:
    out += s(name) + s(where) + struct.pack("<iiiI", every, mode, repeat, unscheduled)
out += struct.pack("<ii", 3, 3)
open(path, "wb").write(out)
PY
}

start_program() {
  step "start Hauntwatch $*"
  spawn env PATH="$TMP/bin:$PATH" "$HW_PROGRAM" "$@" >>"$TMP/program.stdout" 2>>"$TMP/program.stderr"
  PROGRAM_PID=$LAST_PID
  MAIN=$(timeout 30 xdotool search --sync --onlyvisible --name '^Hauntwatch$' 2>/dev/null | head -n 1) || true
  [[ -n "$MAIN" ]] || fail "the main window did not appear"
  wait_until 10 "the main window to take the keyboard" has_focus "$MAIN"
}
has_focus() { [[ "$(xdotool getwindowfocus 2>/dev/null)" == "$1" ]]; }
program_running() { kill -0 "$PROGRAM_PID" 2>/dev/null; }
program_gone() { ! program_running; }

# end_program SIGNAL: as the system would end it, not the person.
end_program() {
  step "end the program with SIG$1"
  kill -"$1" "$PROGRAM_PID"
  wait_until 20 "the program to end" program_gone
}

# click_client X Y: a click at a point of the main window's own area.
click_client() {
  local info x y
  info=$(xwininfo -id "$MAIN")
  x=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")
  y=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")
  xdotool mousemove --sync $((x + $1)) $((y + $2)) click 1
}
# The picture starts under the menu bar (20 to 40 pixels); these points are
# inside the cupcake and the mansion for any menu bar of that height.
click_cupcake() { click_client 325 275; }
click_mansion() { click_client 90 100; }

on_duty() { [[ -f "$HAUNTWATCH_HOME/on-duty" ]]; }
off_duty() { ! on_duty; }
diary_has() { grep -qP "$1" "$HAUNTWATCH_HOME/diary.log" 2>/dev/null; }
diary_count() { grep -cP "$1" "$HAUNTWATCH_HOME/diary.log" 2>/dev/null || true; }
started_count() { wc -l <"$STARTED_LOG"; }
has_started() { (($(started_count) >= $1)); }
