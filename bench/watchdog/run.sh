#!/usr/bin/env bash
# run.sh BUILD_DIR: the widest gap between the watchdog beats the program
# sends its service manager (a one-second period, so a beat is asked for
# every 250 ms), while idle (the reference), while a five-second sound holds
# the window thread, and while the schedule dialog is open.
set -euo pipefail
build=$1
BENCH_NEEDS="xvfb-run xdotool"
source "$(dirname "$0")/../window-session.sh"

log=$work/notify.log
python3 -c '
import socket, sys, time
s = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
s.bind(sys.argv[1])
with open(sys.argv[2], "a", buffering=1) as log:
    while True:
        print(f"{time.monotonic():.4f} {s.recv(4096).decode()}", file=log)
' "$work/notify.socket" "$log" &
listener=$!
trap 'kill $listener 2>/dev/null; rm -rf "$work"' EXIT
while [[ ! -S $work/notify.socket ]]; do sleep 0.05; done

python3 -c '
import math, struct, sys, wave
w = wave.open(sys.argv[1], "wb"); w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
w.writeframes(b"".join(struct.pack("<h", int(4000 * math.sin(i * 0.3))) for i in range(5 * 8000)))
' "$HAUNTWATCH_HOME/thanks.wav"
: >"$HAUNTWATCH_HOME/noises.hwt"

now() { python3 -c 'import time; print(f"{time.monotonic():.4f}")'; }
NOTIFY_SOCKET=$work/notify.socket WATCHDOG_USEC=1000000 "$build/hauntwatch" >"$work/out" 2>&1 &
program=$!
until grep -q ' READY=1' "$log" 2>/dev/null; do sleep 0.05; done
window=$(xdotool search --sync --onlyvisible --name '^Hauntwatch$' | head -n 1)
xdotool windowfocus --sync "$window"

idle_from=$(now); sleep 3; idle_to=$(now)
play_from=$(now); xdotool key ctrl+t; sleep 6; play_to=$(now)
xdotool key ctrl+c
dialog=$(xdotool search --sync --onlyvisible --name '^So, What Do You Want' | head -n 1)
dialog_from=$(now); sleep 3; dialog_to=$(now)
xdotool windowfocus --sync "$dialog" key Escape
sleep 0.5
xdotool windowfocus --sync "$window" key alt+q
wait $program || true

widest() {  # FROM TO: the widest gap between beats in that span, in ms
  awk -v a="$1" -v b="$2" '$2 == "WATCHDOG=1" && $1 >= a && $1 <= b {
      if (last) { g = $1 - last; if (g > w) w = g } last = $1 }
    END { printf "%.0f", w * 1000 }' "$log"
}
echo "widest gap between watchdog beats (one asked for every 250 ms, the manager's limit 1000 ms):"
echo "  idle, the reference:             $(widest "$idle_from" "$idle_to") ms"
echo "  during a 5 s guard-on sound:     $(widest "$play_from" "$play_to") ms"
echo "  with the schedule dialog open:   $(widest "$dialog_from" "$dialog_to") ms"
