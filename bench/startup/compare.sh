# Sourced by run.sh and gnome.sh (and, for its starts, the package benchmark): Hauntwatch's start to first paint (with a
# noises.hwt.ini that sets every key) beside a bare Qt window's, the median
# of $runs starts each, in the session the caller set up.
#   compare_starts BUILD_DIR RUNS WORK_DIR LABEL

# One start: "<milliseconds to first paint> <resident KiB>".
measure() {
  local start out
  start=$(date +%s%N)
  out=$("$@")
  awk -v start="$start" '{ printf "%.1f %d\n", ($1 - start) / 1e6, $2 }' <<<"$out"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# take_turns RUNS PROBE_A OUT_A PROBE_B OUT_B: RUNS starts of each, taking
# turns so that both meet the same machine, after one of each to warm the
# file cache.
take_turns() {
  local runs=$1 a=$2 a_out=$3 b=$4 b_out=$5 i
  measure "$a" >/dev/null; measure "$b" >/dev/null
  : > "$a_out"; : > "$b_out"
  for ((i = 0; i < runs; i++)); do
    measure "$a" >>"$a_out"
    measure "$b" >>"$b_out"
  done
}

compare_starts() {
  local build=$1 runs=$2 work=$3 label=$4
  mkdir -p "$HAUNTWATCH_HOME"
  : > "$HAUNTWATCH_HOME/noises.hwt"
  # Every key of the row extras file set, as a schedule kept to the sun has it.
  printf '[place]\nlatitude=52.52\nlongitude=13.41\n' >"$HAUNTWATCH_HOME/noises.hwt.ini"
  for row in 1 2 3 4 5; do
    printf '[row%d]\nfrom=sunset+%d\nuntil=sunrise-%d\nlevel=-%d..0\nexcerpt=%dm\n' "$row" "$row" "$row" "$row" "$((row * 10))"
  done >>"$HAUNTWATCH_HOME/noises.hwt.ini"

  take_turns "$runs" "$build/bench/startup/bench_startup_hauntwatch" "$work/app" \
    "$build/bench/startup/bench_startup_bare" "$work/bare"
  local app_ms bare_ms app_kib bare_kib
  app_ms=$(cut -d' ' -f1 "$work/app" | median); bare_ms=$(cut -d' ' -f1 "$work/bare" | median)
  app_kib=$(cut -d' ' -f2 "$work/app" | median); bare_kib=$(cut -d' ' -f2 "$work/bare" | median)
  echo "$label: median of $runs starts each, a noises.hwt.ini that sets every key"
  awk -v a="$app_ms" -v b="$bare_ms" 'BEGIN { printf "  start to first paint: hauntwatch %.1f ms, bare Qt window %.1f ms, ratio %.2f (aim <= 1.2)\n", a, b, a / b }'
  awk -v a="$app_kib" -v b="$bare_kib" 'BEGIN { printf "  resident memory before the first play: hauntwatch %.1f MiB, bare Qt window %.1f MiB, ratio %.2f (aim <= 1.3)\n", a / 1024, b / 1024, a / b }'
}
