# Shared harness of the tests that use Hauntwatch as a person would.
#
# A case sources this file first:
#     source "$(dirname "$0")/lib.sh"
# (a case that needs longer than the 90 s default sets : "${HW_WATCHDOG:=200}"
# before; CTest passes the value given in CMakeLists.txt).
# It then runs in its own X server (Xvfb) under openbox, with a private home,
# and reaches the program only through the X server: XTEST input from
# xdotool, screenshots, and the files the program writes.  After every input
# the case calls hw_sync, a _NET_WM_PING round trip to the main window, so
# nothing waits on a guessed delay.
#
# The environment CTest passes (tests/e2e/CMakeLists.txt):
#   HW_PROGRAM    the built hauntwatch
#   HW_ROUNDTRIP  the ping tool built from roundtrip.c
#   HW_ARTIFACTS  folder for screenshots and logs of failed cases
#   HW_PICTURE    the view's picture (res/picture/mansion.bmp)
#   HAUNTWATCH_DATA_DIR  the data folder with the sample noises
#
# A failed step prints its name, saves a screenshot, the program's output and
# the settings file into $HW_ARTIFACTS/<case>/, and ends the case; the exit
# trap then stops the program (with any modal window it has open) and the
# servers.  A watchdog ends the whole case after HW_WATCHDOG seconds.

# With pipefail, `producer | grep -q` fails whenever grep stops reading before
# the producer has written everything: compare captured output instead.
set -Eeuo pipefail

HW_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
HW_TEST_NAME=$(basename "$0" .sh)
: "${HW_WATCHDOG:=90}"

# The watchdog: timeout signals the whole process group of the case (its
# foreground commands included) but not the servers, which run in sessions
# of their own, so the failure can still be photographed.
if [[ -z "${HW_UNDER_WATCHDOG:-}" ]]; then
  export HW_UNDER_WATCHDOG=1
  exec timeout --kill-after=15 "$HW_WATCHDOG" bash "$0" "$@"
fi

for need in HW_PROGRAM HW_ROUNDTRIP HW_ARTIFACTS HW_PICTURE; do
  [[ -n "${!need:-}" ]] || { echo "FAIL: $need is not set (run the case through ctest)" >&2; exit 2; }
done

HW_STEP="setting up"
HW_FAILED=0
HW_MAIN=""
HW_SYNC_WINDOW=""
HW_PID=""
HW_ARTIFACT_DIR="$HW_ARTIFACTS/$HW_TEST_NAME"
rm -rf "$HW_ARTIFACT_DIR"
mkdir -p "$HW_ARTIFACT_DIR"
HW_TMP=$(mktemp -d "${TMPDIR:-/tmp}/hauntwatch-e2e.XXXXXX")
# Ids of the process groups this case started, one a line; the exit trap and,
# should this shell be killed outright, the reaper end exactly these.
HW_GROUPS="$HW_TMP/process-groups"
: >"$HW_GROUPS"

# ---------------------------------------------------------------- reporting

step() {
  HW_STEP="$*"
  printf '[%s] step: %s\n' "$(date +%T)" "$*"
}

hw_fail() {
  trap - ERR
  if [[ $HW_FAILED == 0 ]]; then
    HW_FAILED=1
    printf 'FAIL in %s, step "%s": %s\n' "$HW_TEST_NAME" "$HW_STEP" "$*" >&2
  fi
  exit 1
}

hw_note() { printf '  %s\n' "$*"; }

trap 'hw_fail "command failed (status $?): $BASH_COMMAND"' ERR
trap 'hw_fail "watchdog: the case ran longer than ${HW_WATCHDOG} s"' TERM INT

# Saves what a person would have seen and what the program said.
hw_save_evidence() {
  local dir=$HW_ARTIFACT_DIR
  printf '%s\n' "$HW_STEP" >"$dir/failed-step.txt"
  if [[ -n "${DISPLAY:-}" ]]; then
    timeout 10 import -window root "$dir/screen-at-failure.png" 2>/dev/null || true
    timeout 5 xdotool search --onlyvisible --name '.' 2>/dev/null |
      while read -r w; do printf '0x%x %s\n' "$w" "$(xdotool getwindowname "$w" 2>/dev/null)"; done \
        >"$dir/windows.txt" 2>/dev/null || true
  fi
  [[ -f "$HW_TMP/program.stderr" ]] && cp "$HW_TMP/program.stderr" "$dir/program.stderr"
  [[ -f "$HW_TMP/program.stdout" ]] && cp "$HW_TMP/program.stdout" "$dir/program.stdout"
  [[ -f "${HAUNTWATCH_HOME:-/nonexistent}/noises.hwt" ]] &&
    { cp "$HAUNTWATCH_HOME/noises.hwt" "$dir/"; python3 "$HW_LIB_DIR/hwt.py" show "$dir/noises.hwt" >"$dir/noises.txt" 2>&1 || true; }
  [[ -n "${HW_GNOME_TO:-}" ]] && hw_gnome_evidence
  local log
  for log in "$HW_TMP"/*.log "${HAUNTWATCH_HOME:-/nonexistent}/diary.log"; do
    [[ -f "$log" ]] && cp "$log" "$dir/"
  done
  if [[ -s "$HW_TMP/program.stderr" ]]; then
    echo "--- the program's standard error (last 30 lines) ---" >&2
    tail -n 30 "$HW_TMP/program.stderr" >&2
  fi
  echo "evidence saved in $dir" >&2
}

hw_end_groups() {
  local pgid
  while read -r pgid; do
    [[ -n "$pgid" ]] && kill -TERM -- "-$pgid" 2>/dev/null || true
  done <"$HW_GROUPS"
  while read -r pgid; do
    [[ -n "$pgid" ]] || continue
    timeout 5 tail --pid="$pgid" -f /dev/null 2>/dev/null || kill -KILL -- "-$pgid" 2>/dev/null || true
  done <"$HW_GROUPS"
  : >"$HW_GROUPS"
}

hw_exit_trap() {
  local status=$?
  trap - ERR TERM INT
  set +e
  if [[ $status != 0 || $HW_FAILED != 0 ]]; then
    [[ $HW_FAILED != 0 ]] || printf 'FAIL in %s, step "%s": exit status %s\n' "$HW_TEST_NAME" "$HW_STEP" "$status" >&2
    hw_save_evidence
  else
    echo "PASS: $HW_TEST_NAME"
  fi
  hw_end_groups
  rm -rf "$HW_TMP"
  exit "$status"
}
trap hw_exit_trap EXIT

# Runs a command in a session of its own and notes its process group.
# Sets HW_LAST_PID.
hw_spawn() {
  setsid "$@" </dev/null &
  HW_LAST_PID=$!
  echo "$HW_LAST_PID" >>"$HW_GROUPS"
}

# Should this shell be killed without its traps, the reaper still ends
# everything it started and removes its folder.
setsid bash -c 'tail --pid="$1" -f /dev/null 2>/dev/null
  while read -r g; do [ -n "$g" ] && kill -KILL -- "-$g" 2>/dev/null; done <"$2"
  rm -rf "$3"' reaper $$ "$HW_GROUPS" "$HW_TMP" </dev/null >/dev/null 2>&1 &

# ------------------------------------------------- controls by their names

# Qt's own windows (the file picker) have no template to reckon from: their
# controls are found as a screen reader finds them, through AT-SPI on a
# session bus of the case's own (under GNOME, the session's).  Call before
# starting the program.
hw_enable_accessibility() {
  step "start a session bus and the accessibility bus"
  local address
  if [[ -z "${HW_GNOME_TO:-}" ]]; then
    address=$(dbus-daemon --session --fork --print-address=1 --print-pid=3 3>"$HW_TMP/session-bus.pid" | head -n 1)
    [[ -n "$address" ]] || hw_fail "the session bus did not start"
    cat "$HW_TMP/session-bus.pid" >>"$HW_GROUPS"
    export DBUS_SESSION_BUS_ADDRESS=$address
  fi
  hw_spawn /usr/libexec/at-spi-bus-launcher --launch-immediately
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# The system's Python: pyatspi is a Debian package, not a pip one.
hw_widgets() { /usr/bin/python3 "$HW_LIB_DIR/widgets.py" "$@"; }

hw_widget_found() {
  local found
  found=$(hw_widgets find "$@" 2>/dev/null) || return 1
  read -r WX WY WW WH <<<"$found"
}

# hw_find_widget ROLE NAME [WINDOW]: waits until such a control shows and
# sets WX WY WW WH to its place on the screen.
hw_find_widget() {
  hw_wait_until 20 "a $1 named \"$2\"${3:+ in $3}" hw_widget_found "$@"
}

# The point a person aims at: the middle of the control, or of its first
# 60 pixels when it is wider (a table cell may run past what shows).
hw_widget_point() {
  PX=$((WX + (WW > 120 ? 30 : WW / 2))) PY=$((WY + WH / 2))
}

# hw_click_widget ROLE NAME [WINDOW]: hovers over the control, then clicks it.
hw_click_widget() {
  hw_find_widget "$@"
  hw_widget_point
  hw_click_at "$PX" "$PY"
}

hw_double_click_widget() {
  hw_find_widget "$@"
  hw_widget_point
  hw_hover_at "$PX" "$PY"
  xdotool click --repeat 2 --delay 80 1
  hw_sync
}

# hw_widget_text ROLE INDEX [WINDOW]: prints the INDEX-th showing control's name.
hw_widget_text() { hw_widgets text "$@"; }

# ------------------------------------------------------------------ waiting

# hw_wait_until SECONDS DESCRIPTION COMMAND...: polls COMMAND until it
# succeeds; fails the step with DESCRIPTION when SECONDS pass first.
hw_wait_until() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    ((SECONDS < deadline)) || hw_fail "gave up after ${seconds} s waiting for: $what"
    sleep 0.05
  done
}

# For waits on something to go: hw_not COMMAND...
hw_not() { ! "$@"; }

# The round trip: returns once the program has handled every event sent
# before it, and what they posted.
# It pings the main window, or HW_SYNC_WINDOW while the main window is not
# yet shown (a message box at start-up).
hw_sync() {
  local target=${HW_SYNC_WINDOW:-$HW_MAIN}
  [[ -n "$target" ]] || hw_fail "no window of the program to make the round trip with"
  "$HW_ROUNDTRIP" "$target" 2 "${1:-10}" && return
  hw_program_running || hw_fail "the program has ended"
  hw_fail "the program did not answer the round trip"
}

# -------------------------------------------------------------- the session

# A private home and the servers: Xvfb, then openbox.
hw_begin_session() {
  hw_private_home
  export QT_QPA_PLATFORM=xcb
  hw_start_x
  hw_start_window_manager
}

# Folders of the case's own, and nothing of the real user's desktop: no
# session bus, no sound server, no scaling or style.
hw_private_home() {
  export HOME="$HW_TMP/home"
  export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
  export XDG_STATE_HOME="$HOME/.local/state" XDG_RUNTIME_DIR="$HW_TMP/runtime"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  # The settings folder: hw_write_settings makes it; on a first start the
  # program makes it itself.
  export HAUNTWATCH_HOME="$HW_TMP/home/hauntwatch"
  export HAUNTWATCH_AO="${HW_AO-null}" HAUNTWATCH_VO="${HW_VO-null}"
  [[ -n "$HAUNTWATCH_AO" ]] || unset HAUNTWATCH_AO
  [[ -n "$HAUNTWATCH_VO" ]] || unset HAUNTWATCH_VO
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/no-session-bus"
  unset QT_QPA_PLATFORM QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI QT_STYLE_OVERRIDE QT_AUTO_SCREEN_SCALE_FACTOR
  unset PULSE_SERVER PULSE_SINK DISPLAY WAYLAND_DISPLAY XAUTHORITY SESSION_MANAGER
  export LANG="${LANG:-C.UTF-8}"
}

hw_start_x() {
  step "start an X server"
  local cookie
  cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
  # The server takes every cookie in its file; clients look theirs up by display.
  xauth -q -f "$HW_TMP/server.auth" add :0 MIT-MAGIC-COOKIE-1 "$cookie" 2>/dev/null
  # Xvfb picks a free display (only one server can bind its abstract socket)
  # and writes its number when it is ready.  Open read-write, the pipe neither
  # blocks this shell nor ends early.  -noreset: a server resets when its last
  # client leaves and drops whoever connects meanwhile, so the first xprop
  # looking for the window manager could leave openbox without a display.
  mkfifo "$HW_TMP/display.fifo"
  local fd number=""
  exec {fd}<>"$HW_TMP/display.fifo"
  hw_spawn Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp -auth "$HW_TMP/server.auth" \
    3>&"$fd" >"$HW_TMP/xvfb.log" 2>&1
  read -r -t 20 -u "$fd" number || true
  exec {fd}>&-
  [[ "$number" =~ ^[0-9]+$ ]] || { cat "$HW_TMP/xvfb.log" >&2; hw_fail "Xvfb did not report a display"; }
  export DISPLAY=":$number" XAUTHORITY="$HW_TMP/client.auth"
  xauth -q -f "$XAUTHORITY" add "$DISPLAY" MIT-MAGIC-COOKIE-1 "$cookie" 2>/dev/null
  hw_note "display $DISPLAY"
}

hw_wm_has_root() { grep -q 'window id' <<<"$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)"; }

hw_start_window_manager() {
  step "start the window manager"
  # Decorated windows, focus on new windows, and focus that does not follow
  # the mouse, so hovering never moves the keyboard.
  cat >"$HW_TMP/openbox.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy></placement>
  <theme><name>Clearlooks</name><titleLayout>NLIMC</titleLayout></theme>
  <desktops><number>1</number></desktops>
  <margins><top>0</top><bottom>0</bottom><left>0</left><right>0</right></margins>
</openbox_config>
XML
  hw_spawn openbox --config-file "$HW_TMP/openbox.xml" --sm-disable >"$HW_TMP/openbox.log" 2>&1
  HW_WM_PID=$HW_LAST_PID
  hw_wait_until 60 "openbox to manage the screen" hw_wm_ready
}

hw_wm_ready() {
  kill -0 "$HW_WM_PID" 2>/dev/null || { cat "$HW_TMP/openbox.log" >&2; hw_fail "openbox has ended"; }
  hw_wm_has_root
}

# Writes the settings file from hwt.py's lines on standard input.
hw_write_settings() {
  mkdir -p "$HAUNTWATCH_HOME"
  python3 "$HW_LIB_DIR/hwt.py" write "$HAUNTWATCH_HOME/noises.hwt"
}

# The settings file as hwt.py's lines.
hw_settings() { python3 "$HW_LIB_DIR/hwt.py" show "$HAUNTWATCH_HOME/noises.hwt"; }

# Compares the settings file with the lines on standard input.
hw_expect_settings() {
  local expected="$HW_TMP/expected.txt" actual="$HW_TMP/actual.txt"
  cat >"$expected"
  hw_settings >"$actual" || hw_fail "the settings file cannot be read: $(cat "$actual")"
  diff -u --label expected --label "noises.hwt" "$expected" "$actual" >"$HW_TMP/settings.diff" ||
    { cat "$HW_TMP/settings.diff" >&2; cp "$HW_TMP/settings.diff" "$HW_ARTIFACT_DIR/"; hw_fail "the settings file does not hold what was chosen"; }
}

# Compares the settings file's noise library with the lines on standard input.
hw_expect_library() {
  local expected="$HW_TMP/expected-library.txt" actual="$HW_TMP/library.txt"
  cat >"$expected"
  hw_settings | grep -E '^noise' >"$actual" || true
  diff -u --label expected --label "the library" "$expected" "$actual" >&2 || hw_fail "the library is not what was picked"
}

# Starts the program; its output goes to files kept as evidence.
hw_start_program() {
  step "start Hauntwatch"
  hw_spawn env PATH="$HW_TMP/bin:$PATH" "$HW_PROGRAM" "$@" >"$HW_TMP/program.stdout" 2>"$HW_TMP/program.stderr"
  HW_PID=$HW_LAST_PID
}

hw_program_running() { kill -0 "$HW_PID" 2>/dev/null; }

# hw_find_window VAR PATTERN [SECONDS]: waits for a visible window whose
# title matches the pattern and sets VAR to its id.
hw_find_window() {
  local var=$1 pattern=$2 seconds=${3:-20} id
  id=$(timeout "$seconds" xdotool search --sync --onlyvisible --name "$pattern" 2>/dev/null | head -n 1) || true
  [[ -n "$id" ]] || hw_fail "no window titled /$pattern/ appeared within ${seconds} s"
  printf -v "$var" '%s' "$id"
  # A new window is for typing into: wait until the window manager has given
  # it the keyboard.
  hw_wait_until 10 "the window /$pattern/ to take the keyboard focus" hw_has_focus "$id"
}

hw_has_focus() { [[ "$(xdotool getwindowfocus 2>/dev/null)" == "$1" ]]; }

hw_window_shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
hw_window_gone() { ! hw_window_shown "$1"; }

hw_wait_window_gone() {
  hw_wait_until "${2:-10}" "the window /$1/ to close" hw_window_gone "$1"
}

hw_find_main_window() {
  hw_find_window HW_MAIN '^Hauntwatch$' 30
  hw_sync
}

# Sets GX GY GW GH: where the window's own area (its frame not included)
# stands on the screen, and its size.
hw_geometry() {
  local info
  info=$(xwininfo -id "$1") || hw_fail "window $1 is gone"
  GX=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")
  GY=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")
  GW=$(awk '/^ *Width:/ {print $2}' <<<"$info")
  GH=$(awk '/^ *Height:/ {print $2}' <<<"$info")
}

# Sets OX OY OW OH: the window with the window manager's frame around it.
hw_outer_geometry() {
  hw_geometry "$1"
  hw_frame_extents "$1"
  OX=$((GX - FL)) OY=$((GY - FT)) OW=$((GW + FL + FR)) OH=$((GH + FT + FB))
}

# Sets FL FR FT FB: the window manager's frame around the window.
hw_frame_extents() {
  local line
  line=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -o '= .*') ||
    hw_fail "window $1 has no frame extents: no window manager frames it"
  read -r FL FR FT FB <<<"$(tr -d '=,' <<<"$line")"
}

# ---------------------------------------------------------------- the input

# Clicks the close box of the window manager's frame around WINDOW (the
# rightmost button of its title bar), as a person closes a window.
hw_click_close_box() {
  hw_geometry "$1"
  hw_frame_extents "$1"
  local x=$((GX + GW + FR - 12)) y=$((GY - FT / 2))
  hw_hover_at "$x" "$y"
  xdotool click 1
}

# Moves the pointer there (a real move: enter and hover events follow).
hw_hover_at() {
  local X Y SCREEN WINDOW
  eval "$(xdotool getmouselocation --shell)"
  # xdotool's --sync waits for a motion that never comes when the pointer is
  # already there.
  [[ "$X $Y" == "$1 $2" ]] || xdotool mousemove --sync "$1" "$2"
  hw_sync
}

hw_click_at() {
  hw_hover_at "$1" "$2"
  xdotool click 1
  hw_sync
}

hw_click_in() {  # WINDOW X Y, relative to the window's own area
  hw_geometry "$1"
  hw_click_at $((GX + $2)) $((GY + $3))
}

hw_type() {
  xdotool type --delay 30 -- "$1"
  hw_sync
}

hw_key() {
  xdotool key --delay 30 -- "$@"
  hw_sync
}

# --------------------------------------------------- controls in dialog units

# The dialogs are built from templates in dialog units (res/DialogResources.cpp);
# the rectangles below mirror those templates.  The pixel scale is the
# dialog's real size over its template's, so neither the font nor a scaled
# dialog moves the points.
declare -A HW_TEMPLATE_SIZE=(
  [schedule]="300 271" [noises]="317 166" [name]="250 95" [problems]="367 218"
)
declare -A HW_CONTROL=(
  [noises.list]="20 15 274 118" [noises.add]="103 145 64 14" [noises.delete]="173 145 64 14" [noises.ok]="246 145 64 14"
  [problems.text]="7 28 353 183"
  [name.path]="44 33 145 12" [name.name]="15 53 219 15" [name.cancel]="136 74 50 14" [name.ok]="193 74 50 14"
  [schedule.quiet.from]="7 238 20 12" [schedule.quiet.from.am]="31 234 28 10" [schedule.quiet.from.pm]="31 245 28 10"
  [schedule.quiet.to]="81 238 20 12" [schedule.quiet.to.am]="105 234 28 10" [schedule.quiet.to.pm]="105 245 28 10"
  [schedule.edit-noises]="136 250 50 14" [schedule.preview]="190 250 50 14" [schedule.ok]="243 250 50 14"
)
hw_row_tops=(18 60 103 148 190)
for hw_row in 1 2 3 4 5; do
  hw_y=${hw_row_tops[hw_row - 1]}
  HW_CONTROL[schedule.row$hw_row.list]="7 $hw_y 113 12"
  HW_CONTROL[schedule.row$hw_row.hours]="133 $hw_y 12 12"
  HW_CONTROL[schedule.row$hw_row.minutes]="155 $hw_y 18 12"
  HW_CONTROL[schedule.row$hw_row.slider]="126 $((hw_y + 14)) 58 13"
  HW_CONTROL[schedule.row$hw_row.repeat]="191 $hw_y 20 12"
  HW_CONTROL[schedule.row$hw_row.random]="223 $((hw_y - 5)) 45 10"
  HW_CONTROL[schedule.row$hw_row.exact]="223 $((hw_y + 6)) 45 10"
done
unset hw_row hw_y

# hw_control_point WINDOW DIALOG.CONTROL [FX FY]: sets PX PY to the screen
# point at fractions FX, FY (in percent; default the middle) of the control.
hw_control_point() {
  local window=$1 name=$2 fx=${3:-50} fy=${4:-50}
  local dialog=${name%%.*}
  [[ -n "${HW_CONTROL[$name]:-}" ]] || hw_fail "no control called $name"
  local tw th x y w h
  read -r tw th <<<"${HW_TEMPLATE_SIZE[$dialog]}"
  read -r x y w h <<<"${HW_CONTROL[$name]}"
  hw_geometry "$window"
  # Hundredths of a dialog unit, rounded to the nearest pixel.
  PX=$((GX + ((x * 100 + w * fx) * GW + tw * 50) / (tw * 100)))
  PY=$((GY + ((y * 100 + h * fy) * GH + th * 50) / (th * 100)))
}

# hw_control_point_du WINDOW DIALOG.CONTROL DX DY: sets PX PY to the point
# DX, DY dialog units inside the control's top-left corner.  A line of text
# is about 8 vertical units high, whatever the font.
hw_control_point_du() {
  local window=$1 name=$2 dx=$3 dy=$4
  local dialog=${name%%.*}
  [[ -n "${HW_CONTROL[$name]:-}" ]] || hw_fail "no control called $name"
  local tw th x y w h
  read -r tw th <<<"${HW_TEMPLATE_SIZE[$dialog]}"
  read -r x y w h <<<"${HW_CONTROL[$name]}"
  hw_geometry "$window"
  PX=$((GX + ((x + dx) * GW * 2 + tw) / (tw * 2)))
  PY=$((GY + ((y + dy) * GH * 2 + th) / (th * 2)))
}

hw_hover_control() {
  hw_control_point "$@"
  hw_hover_at "$PX" "$PY"
}

# Hovers first, then clicks, as a hand on a mouse does.
hw_click_control() {
  hw_hover_control "$@"
  xdotool click 1
  hw_sync
}

# A radio button reacts to its circle and its words, not to the empty rest
# of its rectangle: aim at the circle.
hw_click_radio() { hw_click_control "$1" "$2" 8 50; }

# Replaces the text of an edit field as a person does: click, select all, type.
hw_fill_field() {
  hw_click_control "$1" "$2"
  hw_key ctrl+a
  hw_type "$3"
}

# ---------------------------------------------------------------- what shows

hw_screenshot() {
  import -window root "$HW_ARTIFACT_DIR/$1.png"
}

# The screen with the mouse pointer drawn where it is, as a person sees it
# (the X server leaves the pointer out of a screenshot).
hw_screenshot_with_pointer() {
  local X Y SCREEN WINDOW
  eval "$(xdotool getmouselocation --shell)"
  import -window root "$HW_TMP/screen.png"
  convert "$HW_TMP/screen.png" -stroke white -strokewidth 1.5 -fill black \
    -draw "polygon $X,$Y $X,$((Y + 17)) $((X + 4)),$((Y + 13)) $((X + 7)),$((Y + 20)) $((X + 10)),$((Y + 19)) $((X + 7)),$((Y + 12)) $((X + 12)),$((Y + 12))" \
    "$HW_ARTIFACT_DIR/$1.png"
}

# hw_capture FILE X Y W H: raw RGB of a screen rectangle.
hw_capture() {
  import -window root -crop "${4}x${5}+${2}+${3}" +repage -depth 8 "rgb:$1"
}

# Sets VX VY: the screen point of the view's top-left corner, found where the
# picture shows (the menu bar's height depends on the font).  Only its top
# is looked for: in a window of 460 x 395 with its frame, menu bar and status
# bar, the view is a little shorter than the picture, as it always was.
HW_PICTURE_ROWS=200
hw_find_view() {
  hw_load_picture
  hw_wait_until 10 "the picture to show in the main window" hw_picture_found
  hw_note "view at +$((VX - GX))+$((VY - GY)) of the window"
}

# The top of the picture as raw RGB, in $HW_TMP/picture.rgb.
hw_load_picture() {
  [[ -f "$HW_TMP/picture.rgb" ]] ||
    convert "$HW_PICTURE" -crop "x${HW_PICTURE_ROWS}+0+0" +repage -depth 8 "rgb:$HW_TMP/picture.rgb"
  read -r HW_PICTURE_W HW_PICTURE_H <<<"$(identify -format '%w %h' "$HW_PICTURE")"
}

hw_picture_found() {
  local found
  hw_geometry "$HW_MAIN"
  hw_capture "$HW_TMP/main.rgb" "$GX" "$GY" "$GW" "$GH"
  found=$(python3 "$HW_LIB_DIR/picture.py" find "$HW_TMP/main.rgb" "$GW" "$GH" \
    "$HW_TMP/picture.rgb" "$HW_PICTURE_W" "$HW_PICTURE_ROWS") || return 1
  read -r VX VY <<<"$found"
  VX=$((GX + VX)) VY=$((GY + VY))
}

# Clicks at a point of the view, in the view's own coordinates.
hw_click_view() {
  hw_click_at $((VX + $1)) $((VY + $2))
}

# hw_capture_below_picture FILE: the bottom of the main window, where the
# status bar is (the view ends above it, under the picture's cupcake).
hw_capture_below_picture() {
  hw_geometry "$HW_MAIN"
  local top=$((GY + GH - 26))
  hw_capture "$1" "$GX" "$top" "$GW" 26
}

# ---------------------------------------------------------------- files

# An identity that changes whenever the file is written anew.
hw_file_stamp() {
  stat -c '%i %y %s' "$1" 2>/dev/null || echo missing
}

hw_file_rewritten() { [[ "$(hw_file_stamp "$1")" != "$2" ]]; }

hw_wait_file_rewritten() {  # FILE OLD_STAMP [SECONDS]
  hw_wait_until "${3:-10}" "$1 to be written" hw_file_rewritten "$1" "$2"
}

# hw_ok_library_then_schedule LIBRARY SCHEDULE: OK in "Add or Delete
# Noises", then in the schedule, and wait for the settings file it saves.
hw_ok_library_then_schedule() {
  hw_click_control "$1" noises.ok
  hw_wait_window_gone '^Add or Delete Noises$'
  local before
  before=$(hw_file_stamp "$HAUNTWATCH_HOME/noises.hwt")
  hw_click_control "$2" schedule.ok
  hw_wait_window_gone '^So, What Do You Want the Vorn to do\?$'
  hw_wait_file_rewritten "$HAUNTWATCH_HOME/noises.hwt" "$before"
}

hw_line_count() { if [[ -f "$1" ]]; then wc -l <"$1"; else echo 0; fi; }
hw_has_lines() { (($(hw_line_count "$1") >= $2)); }

# A stand-in for xdg-open, first on the program's PATH: it notes each file
# the program starts in $HW_TMP/started.log.
hw_stand_in_xdg_open() {
  mkdir -p "$HW_TMP/bin"
  HW_STARTED_LOG="$HW_TMP/started.log"
  : >"$HW_STARTED_LOG"
  cat >"$HW_TMP/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$1" >>"$HW_STARTED_LOG"
EOF
  chmod +x "$HW_TMP/bin/xdg-open"
}

# ---------------------------------------------------------------- sound

# A private PulseAudio server with two null sinks, a (the default) and b.
hw_start_pulse() {
  step "start a private sound server"
  local socket="$XDG_RUNTIME_DIR/pulse.socket"
  cat >"$HW_TMP/pulse.pa" <<EOF
load-module module-null-sink sink_name=a
load-module module-null-sink sink_name=b
load-module module-native-protocol-unix auth-anonymous=1 socket=$socket
set-default-sink a
EOF
  hw_spawn pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
    --log-target=stderr -F "$HW_TMP/pulse.pa" >"$HW_TMP/pulse.log" 2>&1
  export PULSE_SERVER="unix:$socket"
  hw_wait_until 20 "the sound server to answer" hw_pulse_answers
}

hw_pulse_answers() { pactl info >/dev/null 2>&1; }

# hw_record_sink SINK FILE: records what the sink plays, as raw 16-bit
# samples, until hw_stop_recordings; returns once the recording runs.
hw_record_sink() {
  local before
  before=$(pactl list short source-outputs | wc -l)
  hw_spawn parec -d "$1.monitor" --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 "$2" \
    >>"$HW_TMP/parec.log" 2>&1
  HW_RECORDERS+=("$HW_LAST_PID")
  hw_wait_until 10 "the recording of $1 to start" \
    bash -c '(( $(pactl list short source-outputs | wc -l) > $1 ))' _ "$before"
}

hw_stop_recordings() {
  local pid
  for pid in "${HW_RECORDERS[@]}"; do
    kill -TERM "$pid" 2>/dev/null || true
    timeout 5 tail --pid="$pid" -f /dev/null || true
  done
  HW_RECORDERS=()
}
HW_RECORDERS=()

# Prints the peak of a recording, 0 to 1.
hw_peak() { python3 "$HW_LIB_DIR/sound.py" peak "$1"; }

# Whether a recording holds sound rather than silence (a tenth of full scale).
hw_sound_in() {
  [[ -s "$1" ]] && python3 -c 'import sys; sys.exit(0 if float(sys.argv[1]) >= 0.1 else 1)' "$(hw_peak "$1")"
}

# ------------------------------------------------ what a person does, in steps

# The first start has no settings file and says so in a message box, before
# the main window shows; a person reads it and presses Enter.
hw_close_first_start_box() {
  step "read the first start's message and close it"
  local box
  hw_find_window box '^qwendrik$' 30
  HW_SYNC_WINDOW=$box hw_sync
  hw_screenshot first-start-message
  if [[ -n "${QT_LINUX_ACCESSIBILITY_ALWAYS_ON:-}" ]]; then
    # Its OK, with the mouse; the box is gone before a round trip could be made.
    hw_find_widget "push button" OK qwendrik
    hw_widget_point
    HW_SYNC_WINDOW=$box hw_hover_at "$PX" "$PY"
    xdotool click 1
  else
    xdotool key Return
  fi
  hw_wait_window_gone '^qwendrik$'
}

# "What Should I Do?" with its key; sets HW_SCHEDULE.
hw_open_schedule() {
  hw_key ctrl+c
  hw_find_window HW_SCHEDULE '^So, What Do You Want the Vorn to do\?$'
  hw_sync
}

# In "Add or Delete Noises": "Add a Noise", a double click on the file's row
# of the picker (which opens in the sample-noises folder the first time),
# then "Name the Event" with NAME typed into its name field and OK clicked.
# The picker's rows are found through the accessibility layer.
hw_add_noise() {
  local library=$1 file=$2 name=$3 picker naming
  hw_click_control "$library" noises.add
  hw_find_window picker '^Open$'
  hw_sync
  hw_double_click_widget "table cell" "$file" Open
  hw_wait_window_gone '^Open$'
  hw_find_window naming '^Name the Event$'
  hw_sync
  hw_click_control "$naming" name.name
  hw_type "$name"
  hw_click_control "$naming" name.ok
  hw_wait_window_gone '^Name the Event$'
}

# Opens a row's drop-down with a click and clicks the noise in its list.
hw_pick_noise() {
  local dialog=$1 row=$2 name=$3
  hw_click_control "$dialog" "schedule.row$row.list"
  hw_click_widget "list item" "$name"
  hw_sync
}

# "Any errors?" with Ctrl+E: the report's text area is captured into FILE
# (raw RGB) and photographed as NAME.png, then the window is closed with Esc.
# Text cannot be read through X; a report that changes shows in its pixels.
hw_capture_problem_report() {
  local file=$1 name=$2 report
  hw_key ctrl+e
  hw_find_window report '^Any errors\?$'
  hw_sync
  hw_control_point "$report" problems.text 0 0
  local left=$PX top=$PY
  hw_control_point "$report" problems.text 100 100
  hw_capture "$file" "$left" "$top" $((PX - left)) $((PY - top))
  hw_screenshot "$name"
  hw_key Escape
  hw_wait_window_gone '^Any errors\?$'
}
