#!/usr/bin/env bash
# Under the desktop's service manager: the program speaks the notify
# protocol to the socket the manager names.  READY=1 once the window is up;
# WATCHDOG=1 from the window thread all along, while a play longer than the
# watchdog's period holds that thread and while a modal dialog stays open
# longer than the period; STOPPING=1 at Quit, and status 0.  What the guard
# starts inherits neither variable.  The manager here is a datagram socket
# of the case's own, which notes each message with the time it came.
source "$(dirname "$0")/../../e2e/lib.sh"

log="$HW_TMP/notify.log"
now() { python3 -c 'import time; print(f"{time.monotonic():.3f}")'; }
has_message() { grep -q " $1\$" "$log" 2>/dev/null; }
# Watchdog messages that came between two moments.
beats_between() { awk -v a="$1" -v b="$2" '$2 == "WATCHDOG=1" && $1 > a && $1 < b' "$log" | wc -l; }
beats_since() { (($(beats_between "$1" 1e12) >= $2)); }
program_gone() { ! hw_program_running; }

hw_begin_session
step "listen where the manager would"
hw_spawn python3 -c '
import socket, sys, time
s = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
s.bind(sys.argv[1])
with open(sys.argv[2], "a", buffering=1) as log:
    while True:
        for line in s.recv(4096).decode().split("\n"):
            print(f"{time.monotonic():.3f} {line}", file=log)
' "$HW_TMP/notify.socket" "$log"
hw_wait_until 10 "the socket" test -S "$HW_TMP/notify.socket"

# A guard-on sound of five seconds, five watchdog periods, in the home
# folder where the program looks first; a row whose file the desktop opens.
mkdir -p "$HAUNTWATCH_HOME" "$HW_TMP/bin"
python3 -c '
import math, struct, sys, wave
w = wave.open(sys.argv[1], "wb"); w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
w.writeframes(b"".join(struct.pack("<h", int(4000 * math.sin(i * 0.3))) for i in range(5 * 8000)))
' "$HAUNTWATCH_HOME/thanks.wav"
note="$HW_TMP/files/note.txt"
mkdir -p "$(dirname "$note")"
echo note >"$note"
cat >"$HW_TMP/bin/xdg-open" <<STUB
#!/bin/sh
env >"$HW_TMP/started.env"
STUB
chmod +x "$HW_TMP/bin/xdg-open"
hw_write_settings <<EOF_SETTINGS
noise 1: name="Note" path="$note"
slot 2: name="Note" path="$note" every=60 mode=exact repeat=1
quiet: from=3 to=3
EOF_SETTINGS

step "start under the manager: ready once the window is up"
NOTIFY_SOCKET="$HW_TMP/notify.socket" WATCHDOG_USEC=1000000 hw_start_program
hw_find_main_window
hw_find_view
hw_wait_until 10 "READY=1" has_message READY=1
hw_wait_until 10 "the first beats" beats_since 0 2

step "a guard-on sound five periods long"
before=$(now)
hw_click_view 325 250
after=$(now)
hw_note "the window thread answered again $(awk -v a="$before" -v b="$after" 'BEGIN {print b - a}') s after the click"
played=$(beats_between "$before" "$after")
# Without beats from inside the play, one comes before the click is taken
# and one after the play at most.
((played >= 4)) || hw_fail "only $played beats while the sound played"

step "the schedule dialog left open"
hw_open_schedule
opened=$(now)
hw_wait_until 20 "beats while the dialog is open" beats_since "$opened" 6
hw_click_control "$HW_SCHEDULE" schedule.preview
hw_wait_until 20 "the row's file to be opened" test -s "$HW_TMP/started.env"
! grep -qE '^(NOTIFY_SOCKET|WATCHDOG_USEC|WATCHDOG_PID)=' "$HW_TMP/started.env" ||
  hw_fail "a program the guard started inherited the manager's variables"
hw_key Escape
hw_wait_window_gone '^So, What Do You Want the Vorn to do\?$'

step "Quit"
# The program ends with the keystroke: there is nobody left for a round trip.
xdotool key alt+q
hw_wait_until 20 "the program to end" program_gone
status=0
wait "$HW_PID" || status=$?
((status == 0)) || hw_fail "Quit ended the program with status $status; the manager would start it again"
hw_wait_until 10 "STOPPING=1" has_message STOPPING=1
[[ $(grep -c ' READY=1$' "$log") == 1 ]] || hw_fail "READY=1 more than once"
