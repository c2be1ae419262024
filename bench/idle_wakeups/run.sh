#!/usr/bin/env bash
# run.sh BUILD_DIR [SECONDS]: context switches per second of the idle
# program, guard on, next wake-up an hour away.
set -euo pipefail
build=$1 seconds=${2:-20}

BENCH_NEEDS="xvfb-run xdotool"
source "$(dirname "$0")/../window-session.sh"
pid=
trap '[[ -n "$pid" ]] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
"$build/bench/idle_wakeups/bench_idle_settings" "$HAUNTWATCH_HOME/noises.hwt"

"$build/hauntwatch" & pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Hauntwatch$' | head -1)
xdotool windowfocus --sync "$window"
xdotool key ctrl+t
# Let the guard-on sound end and the program settle.
sleep 5

# The guard's timer shows as an armed timerfd about an hour out.
armed=$(for fd in /proc/"$pid"/fd/*; do
  if [[ $(readlink "$fd") == "anon_inode:[timerfd]" ]]; then
    awk '/it_value:/ { gsub(/[(,]/, " "); print $2; exit }' "/proc/$pid/fdinfo/${fd##*/}"
  fi
done | sort -n | tail -1)
echo "guard timer armed for ${armed:-no} seconds ahead"

# Main thread: /proc/PID/status; all threads: every task's status.
switches() {
  awk '/^(voluntary|nonvoluntary)_ctxt_switches:/ { n += $2 } END { print n }' "$@"
}
main_before=$(switches "/proc/$pid/status")
all_before=$(switches /proc/"$pid"/task/*/status)
threads=$(ls /proc/"$pid"/task | wc -l)
sleep "$seconds"
main_after=$(switches "/proc/$pid/status")
all_after=$(switches /proc/"$pid"/task/*/status)

awk -v d="$((main_after - main_before))" -v s="$seconds" \
  'BEGIN { printf "idle wake-ups, guard on, next play in an hour: %.2f per second on the main thread (%d in %d s; aim < 1)\n", d / s, d, s }'
awk -v d="$((all_after - all_before))" -v s="$seconds" -v t="$threads" \
  'BEGIN { printf "all %d threads together: %.2f per second (%d in %d s)\n", t, d / s, d, s }'
