#!/usr/bin/env bash
# soak.sh BINARY [MINUTES]
# Leaves the real program guarding for MINUTES (30 by default) on the real
# libmpv (null outputs), the real program starter and the real timer: one
# short sound and one program start every 0 minutes, so a pass runs every
# second.  Reports plays done, and resident memory, open descriptors,
# threads and child zombies at 1 minute and at the end; the first minute's
# figures are the reference for the last.  Not part of `make bench`: run it
# with `make soak` (SOAK_MINUTES=30 by default).
set -euo pipefail
binary=$(realpath "$1")
minutes=${2:-30}
top=$(cd "$(dirname "$0")/../.." && pwd)

work=$(mktemp -d)
xvfb= program=
cleanup() {
  [[ -n "$program" ]] && kill "$program" 2>/dev/null || true
  [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
read -r -t 30 display <&"$displayfd" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"

mkdir -p "$work/home" "$work/config" "$work/bin" "$work/run"
chmod 700 "$work/run"
cat >"$work/bin/xdg-open" <<EOS
#!/bin/sh
echo "\$1" >> "$work/started.log"
EOS
chmod +x "$work/bin/xdg-open"
echo "a note the guard opens" >"$work/note.txt"
sound="$top/tests/data/tone.wav"
python3 "$top/tests/e2e/hwt.py" write "$work/home/noises.hwt" <<EOS
noises 2
noise 1: name="Tone" path="$sound"
noise 2: name="Note" path="$work/note.txt"
slot 1: name="Tone" path="$sound" every=0 mode=exact repeat=1 due=unscheduled
slot 2: name="Note" path="$work/note.txt" every=0 mode=exact repeat=1 due=unscheduled
slot 3: name="NOTHING" path="None" every=60 mode=exact repeat=1 due=unscheduled
slot 4: name="NOTHING" path="None" every=60 mode=exact repeat=1 due=unscheduled
slot 5: name="NOTHING" path="None" every=60 mode=exact repeat=1 due=unscheduled
quiet: from=1 to=1
EOS

HAUNTWATCH_HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" \
  HAUNTWATCH_AO=null HAUNTWATCH_VO=null PATH="$work/bin:$PATH" ASAN_OPTIONS=detect_leaks=0 \
  "$binary" >"$work/program.log" 2>&1 &
program=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Hauntwatch$' | head -1)
xdotool windowfocus --sync "$window" key ctrl+t

figures() {
  local rss fds threads zombies
  rss=$(awk '/VmRSS/ {print $2}' "/proc/$program/status")
  fds=$(ls "/proc/$program/fd" | wc -l)
  threads=$(awk '/Threads/ {print $2}' "/proc/$program/status")
  zombies=$(ps --ppid "$program" -o stat= | grep -c '^Z' || true)
  echo "$rss $fds $threads $zombies"
}
plays() {
  local sounds=0 starts
  starts=$(wc -l <"$work/started.log" 2>/dev/null || echo 0)
  [[ -f "$work/home/diary.log" ]] && sounds=$(grep -c $'\tplayed\t' "$work/home/diary.log" || true)
  echo "$sounds $starts"
}

sleep 60
read -r rss1 fds1 threads1 zombies1 <<<"$(figures)"
read -r sounds1 starts1 <<<"$(plays)"
# Memory each minute, to tell a level that settles from a steady climb.
series="$rss1"
for ((minute = 2; minute <= minutes; minute++)); do
  sleep 60
  series+=" $(awk '/VmRSS/ {print $2}' "/proc/$program/status")"
done
read -r rss2 fds2 threads2 zombies2 <<<"$(figures)"
read -r sounds2 starts2 <<<"$(plays)"
kill -0 "$program" || { echo "the program ended during the soak" >&2; exit 1; }

printf '%-28s %12s %12s\n' "" "at 1 minute" "at $minutes minutes"
printf '%-28s %12s %12s\n' "sounds played (diary)" "$sounds1" "$sounds2"
printf '%-28s %12s %12s\n' "programs started" "$starts1" "$starts2"
printf '%-28s %12s %12s   (%+d KiB)\n' "resident memory (KiB)" "$rss1" "$rss2" $((rss2 - rss1))
printf '%-28s %12s %12s\n' "open descriptors" "$fds1" "$fds2"
printf '%-28s %12s %12s\n' "threads" "$threads1" "$threads2"
printf '%-28s %12s %12s\n' "child zombies" "$zombies1" "$zombies2"
echo "resident memory minute by minute (KiB): $series"
problems=$(grep -c . "$work/program.log" || true)
echo "lines on the program's standard error: $problems"
