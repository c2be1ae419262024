# The desktop most people run, for the cases that meet it: GNOME Shell on
# Wayland with PipeWire.  A case sources lib.sh, then this file, and calls
# hw_begin_gnome_session instead of hw_begin_session.  Everything is the
# case's own and ends with it:
#   a session bus, and a bus standing in for the system's, where no logind
#   answers (a headless shell has no seat to ask it for);
#   PipeWire, WirePlumber and pipewire-pulse, with one null sink "house" as
#   the default (no plain PulseAudio);
#   gnome-session with a session of no components (org.gnome.SessionManager);
#   gnome-shell --headless on one 1280x1024 virtual monitor, no X server;
#   gnome.py, holding the names the shell answers screenshots and window
#   lists to, and a remote input session for keys and clicks.
# The program then starts with WAYLAND_DISPLAY set and no DISPLAY or
# QT_QPA_PLATFORM, and with the real sound and video outputs.
HW_SCREEN_W=1280 HW_SCREEN_H=1024

hw_begin_gnome_session() {
  HW_AO=${HW_AO-} HW_VO=${HW_VO-}
  hw_private_home
  export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME
  # No autostart entries of the machine's, and a session file of our own.
  mkdir -p "$HW_TMP/xdg/gnome-session/sessions" "$XDG_CONFIG_HOME/glib-2.0/settings"
  export XDG_CONFIG_DIRS="$HW_TMP/xdg" XDG_DATA_DIRS="$HW_TMP/xdg:/usr/local/share:/usr/share"
  printf '[GNOME Session]\nName=Hauntwatch tests\nRequiredComponents=\n' \
    >"$HW_TMP/xdg/gnome-session/sessions/hauntwatch-tests.session"
  # Settings in a file of the case's own: no hot corner where the pointer
  # starts its way to a point, no banners over the windows, no animations.
  export GSETTINGS_BACKEND=keyfile
  printf '%s\n' '[org/gnome/desktop/interface]' enable-hot-corners=false enable-animations=false \
    '[org/gnome/desktop/notifications]' show-banners=false >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"
  step "start a session bus and a system bus"
  hw_start_bus session
  hw_start_bus system
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/session-bus"
  export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/system-bus"
  hw_wait_until 20 "the buses to answer" hw_buses_answer
  hw_start_pipewire
  step "start gnome-session"
  hw_spawn /usr/libexec/gnome-session-binary --builtin --session=hauntwatch-tests >"$HW_TMP/gnome-session.log" 2>&1
  hw_wait_until 30 "org.gnome.SessionManager to answer" hw_session_answers
  step "start GNOME Shell"
  hw_spawn gnome-shell --headless --wayland --no-x11 --virtual-monitor "${HW_SCREEN_W}x$HW_SCREEN_H" \
    >"$HW_TMP/gnome-shell.log" 2>&1
  HW_SHELL_PID=$HW_LAST_PID
  # It often dies of the SIGTERM at the end; that is not the case's business.
  disown "$HW_SHELL_PID"
  hw_wait_until 60 "the shell's Wayland socket and bus name" hw_shell_up
  export WAYLAND_DISPLAY=wayland-0
  step "reach the shell's screenshots, window list and remote input"
  mkfifo "$HW_TMP/gnome.to" "$HW_TMP/gnome.from"
  exec {HW_GNOME_TO}<>"$HW_TMP/gnome.to" {HW_GNOME_FROM}<>"$HW_TMP/gnome.from"
  hw_spawn /usr/bin/python3 "$HW_LIB_DIR/gnome.py" "$HW_TMP/gnome.to" "$HW_TMP/gnome.from" >"$HW_TMP/gnome-py.log" 2>&1
  hw_gnome_answer "its start"
  step "close the overview the shell starts in"
  # Closed before the shell has finished starting, it opens again.
  hw_wait_until 30 "the shell to finish starting" grep -q "GNOME Shell started" "$HW_TMP/gnome-shell.log"
  hw_wait_until 10 "the overview to close" hw_overview_closed
}

# Escape closes it, as often as it takes: a key pressed as the remote
# keyboard is being made may never arrive.
hw_overview_closed() {
  hw_shell_property OverviewActive "<false>" || { hw_gnome keys Escape; return 1; }
}

hw_start_bus() {
  printf '<busconfig><type>%s</type><listen>unix:path=%s</listen><auth>EXTERNAL</auth><policy context="default">%s</policy></busconfig>\n' \
    "$1" "$XDG_RUNTIME_DIR/$1-bus" '<allow send_destination="*"/><allow receive_sender="*"/><allow own="*"/>' >"$HW_TMP/$1-bus.conf"
  hw_spawn dbus-daemon --nofork --nopidfile --config-file="$HW_TMP/$1-bus.conf" >"$HW_TMP/$1-bus.log" 2>&1
}

hw_buses_answer() {
  gdbus call --session --timeout 5 -d org.freedesktop.DBus -o /org/freedesktop/DBus -m org.freedesktop.DBus.GetId &&
    gdbus call --system --timeout 5 -d org.freedesktop.DBus -o /org/freedesktop/DBus -m org.freedesktop.DBus.GetId
} >/dev/null 2>&1

hw_start_pipewire() {
  step "start PipeWire, WirePlumber and pipewire-pulse"
  hw_spawn pipewire >"$HW_TMP/pipewire.log" 2>&1
  hw_wait_until 20 "PipeWire's socket" test -S "$XDG_RUNTIME_DIR/pipewire-0"
  hw_spawn wireplumber >"$HW_TMP/wireplumber.log" 2>&1
  hw_spawn pipewire-pulse >"$HW_TMP/pipewire-pulse.log" 2>&1
  # pactl asked before the socket is there could start a PulseAudio of its own.
  hw_wait_until 20 "pipewire-pulse's socket" test -S "$XDG_RUNTIME_DIR/pulse/native"
  hw_wait_until 20 "pipewire-pulse to answer" hw_pulse_answers
  pactl load-module module-null-sink sink_name=house >/dev/null
  hw_wait_until 20 "the null sink to be the default" hw_default_sink_is house
}

hw_default_sink_is() {
  [[ "$(pactl get-default-sink 2>/dev/null)" == "$1" ]] || { pactl set-default-sink "$1" 2>/dev/null; return 1; }
}

hw_session_answers() { [[ -n "$(hw_inhibit 4)" ]]; }

hw_shell_up() {
  kill -0 "$HW_SHELL_PID" 2>/dev/null || { tail -n 20 "$HW_TMP/gnome-shell.log" >&2; hw_fail "gnome-shell has ended"; }
  [[ -S "$XDG_RUNTIME_DIR/wayland-0" ]] && hw_shell_property OverviewActive . >/dev/null 2>&1
}

# hw_shell_property NAME PATTERN: whether the org.gnome.Shell property
# matches, as gdbus prints it ("<true>").
hw_shell_property() {
  [[ "$(gdbus call --session --timeout 5 -d org.gnome.Shell -o /org/gnome/Shell \
    -m org.freedesktop.DBus.Properties.Get org.gnome.Shell "$1" 2>/dev/null)" =~ $2 ]]
}

# hw_inhibit FLAGS: gnome-session's answer to IsInhibited (4 suspend, 8
# idle), "true" or "false"; nothing when it does not answer.
hw_inhibit() {
  gdbus call --session --timeout 10 -d org.gnome.SessionManager -o /org/gnome/SessionManager \
    -m org.gnome.SessionManager.IsInhibited "$1" 2>/dev/null | tr -d '(),'
}
hw_inhibited() { [[ "$(hw_inhibit "$1")" == true ]]; }
hw_not_inhibited() { [[ "$(hw_inhibit "$1")" == false ]]; }

# ------------------------------------------------------ asking gnome.py

hw_gnome_answer() {
  local reply=""
  read -r -t 30 -u "$HW_GNOME_FROM" reply || true
  [[ "$reply" == ok ]] && return
  kill -0 "$HW_SHELL_PID" 2>/dev/null || hw_fail "gnome-shell has ended"
  hw_fail "gnome.py, asked for $1: ${reply:-no answer in 30 s} ($(tail -n 3 "$HW_TMP/gnome-py.log"))"
}

# hw_gnome COMMAND ARG...: see gnome.py.
hw_gnome() {
  printf '%s\n' "$*" >&"$HW_GNOME_TO"
  hw_gnome_answer "\"$*\""
}

hw_gnome_screenshot() { hw_gnome screenshot "$HW_ARTIFACT_DIR/$1.png"; }

# The shell's windows into $HW_TMP/windows.txt, a line each: wm-class, width,
# height, has-focus, title.
hw_gnome_windows() { hw_gnome windows "$HW_TMP/windows.txt"; }

# hw_gnome_window AWK_CONDITION: whether a window answers it ($1 wm-class,
# $2 width, $3 height, $4 focus, $5 title); sets WINDOW to the first's line.
hw_gnome_window() {
  hw_gnome_windows
  WINDOW=$(awk -F '\t' "$1 { print; exit }" "$HW_TMP/windows.txt")
  [[ -n "$WINDOW" ]]
}

hw_full_screen() { printf '$2 == %s && $3 == %s' "$HW_SCREEN_W" "$HW_SCREEN_H"; }

# hw_gnome_wait_active TITLE: waits until the shell gives the window titled
# so the keyboard and the program has taken it as its active window (Qt
# takes it a moment later, and drops the shortcuts pressed meanwhile); needs
# hw_enable_accessibility.
hw_gnome_wait_active() {
  hw_wait_until 20 "a window titled \"$1\" with the keyboard" hw_gnome_window "\$5 == \"$1\" && \$4 == 1"
  hw_wait_until 10 "the program to take \"$1\" as its active window" hw_widget_active "$1"
}

hw_widget_active() { hw_widgets active "$1" 2>/dev/null; }

# Sets VX VY: where the view's picture stands on the screen.
hw_gnome_find_view() {
  hw_load_picture
  hw_wait_until 20 "the picture to show on the screen" hw_gnome_picture_found
  hw_note "view at +$VX+$VY of the screen"
}

hw_gnome_picture_found() {
  local found
  hw_gnome screenshot "$HW_TMP/screen.png"
  convert "$HW_TMP/screen.png" -depth 8 "rgb:$HW_TMP/screen.rgb"
  found=$(python3 "$HW_LIB_DIR/picture.py" find "$HW_TMP/screen.rgb" "$HW_SCREEN_W" "$HW_SCREEN_H" \
    "$HW_TMP/picture.rgb" "$HW_PICTURE_W" "$HW_PICTURE_ROWS") || return 1
  read -r VX VY <<<"$found"
}

hw_gnome_click_view() { hw_gnome click $((VX + $1)) $((VY + $2)); }

# What the screen showed and which windows the shell had, for a failed case.
hw_gnome_evidence() {
  local dir=$HW_ARTIFACT_DIR reply
  printf 'screenshot %s\nwindows %s\n' "$dir/screen-at-failure.png" "$dir/windows.txt" >&"$HW_GNOME_TO"
  read -r -t 30 -u "$HW_GNOME_FROM" reply && read -r -t 30 -u "$HW_GNOME_FROM" reply || true
  pactl list sink-inputs >"$dir/sink-inputs.txt" 2>&1 || true
}

# hw_gnome_menu KEY ITEM: opens a menu with its key ("alt+s") and goes down
# to the item, watching the highlight move through AT-SPI, then chooses it.
hw_gnome_menu() {
  local item="" seen="|"
  hw_gnome keys "$1"
  while :; do
    hw_wait_until 10 "a menu item highlighted after \"${item:-$1}\"" hw_highlight_moved "$item"
    item=$HW_HIGHLIGHT
    [[ "$item" != "$2" ]] || break
    [[ "$seen" != *"|$item|"* ]] || hw_fail "the menu has no item \"$2\""
    seen+="$item|"
    hw_gnome keys Down
  done
  hw_gnome keys Return
}

hw_highlight_moved() {
  HW_HIGHLIGHT=$(hw_widgets highlighted 2>/dev/null) && [[ "$HW_HIGHLIGHT" != "$1" ]]
}

# hw_widget_enabled ROLE NAME [WINDOW] and hw_widget_greyed: whether such a
# control shows, taking input or greyed out.
hw_widget_enabled() { hw_widgets enabled "$@" 2>/dev/null; }
hw_widget_greyed() {
  local status=0
  hw_widgets enabled "$@" 2>/dev/null || status=$?
  ((status == 1))
}

# ------------------------------------------------------ the program's sound

# hw_next_play_heard FILE: waits for the program's next play of FILE (a
# stream of its own it had not opened before), records the sink while it
# plays and fails unless it is heard there.
hw_next_play_heard() {
  hw_wait_new_stream "$1"
  hw_record_sink house "$HW_TMP/play-$HW_STREAM.raw"
  hw_wait_until 10 "the play of $1 to be heard at the sink" hw_sound_in "$HW_TMP/play-$HW_STREAM.raw"
  hw_stop_recordings
}

# Sets HW_STREAM to the program's stream that plays FILE, the first not seen
# by an earlier call: each play opens a stream of its own.
hw_wait_new_stream() {
  hw_wait_until 90 "the program to play $1" hw_new_stream "$1"
  HW_STREAMS_SEEN+=("$HW_STREAM")
}
HW_STREAMS_SEEN=()

hw_new_stream() {
  HW_STREAM=$(pactl -f json list sink-inputs | /usr/bin/python3 -c '
import json, sys
pid, name, seen = sys.argv[1], sys.argv[2], sys.argv[3:]
for stream in json.load(sys.stdin):
    props = stream["properties"]
    if props.get("application.process.id") == pid and name in props.get("media.name", "") \
            and str(stream["index"]) not in seen:
        print(stream["index"])
        break' "$HW_PID" "$1" "${HW_STREAMS_SEEN[@]}") && [[ -n "$HW_STREAM" ]]
}

# The diary's lines of one event ("unheard"), as many as there are.
hw_diary_lines() { grep -P "^[^\t]*\t$1(\t|\$)" "$HAUNTWATCH_HOME/diary.log" 2>/dev/null || true; }
hw_diary_has_more() { (($(hw_diary_lines "$1" | wc -l) > $2)); }
