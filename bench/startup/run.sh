#!/usr/bin/env bash
# run.sh BUILD_DIR [RUNS]: start to first paint and resident memory, the
# median of RUNS starts each, Hauntwatch beside a bare Qt window.
set -euo pipefail
build=$1 runs=${2:-15}

if [[ "${BENCH_INSIDE_XVFB:-}" != 1 ]] && command -v xvfb-run >/dev/null; then
  BENCH_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
[[ -n "${DISPLAY:-}" ]] || export QT_QPA_PLATFORM=offscreen

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HAUNTWATCH_HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
export HAUNTWATCH_AO=null HAUNTWATCH_VO=null
# Sanitizer builds: Qt's process-lifetime caches are not leaks.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
mkdir -p "$HAUNTWATCH_HOME" "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
: > "$HAUNTWATCH_HOME/noises.hwt"

# One start: "<milliseconds to first paint> <resident KiB>".
measure() {
  local start out
  start=$(date +%s%N)
  out=$("$@")
  awk -v start="$start" '{ printf "%.1f %d\n", ($1 - start) / 1e6, $2 }' <<<"$out"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

app=$build/bench/startup/bench_startup_hauntwatch
bare=$build/bench/startup/bench_startup_bare
# What loading libmpv and its libraries alone costs a bare window.
libmpv=$(ldd "$app" | awk '/libmpv\.so/ { print $3 }')
with_mpv() { env ${libmpv:+LD_PRELOAD=$libmpv} "$bare"; }
# Warm the file cache before measuring.
measure "$app" >/dev/null; measure "$bare" >/dev/null; measure with_mpv >/dev/null
: > "$work/app"; : > "$work/bare"; : > "$work/mpv"
for ((i = 0; i < runs; i++)); do
  measure "$app" >>"$work/app"
  measure "$bare" >>"$work/bare"
  measure with_mpv >>"$work/mpv"
done

app_ms=$(cut -d' ' -f1 "$work/app" | median); bare_ms=$(cut -d' ' -f1 "$work/bare" | median)
app_kib=$(cut -d' ' -f2 "$work/app" | median); bare_kib=$(cut -d' ' -f2 "$work/bare" | median)
echo "platform: ${QT_QPA_PLATFORM:-xcb (Xvfb)}, median of $runs starts each"
awk -v a="$app_ms" -v b="$bare_ms" 'BEGIN { printf "start to first paint: hauntwatch %.1f ms, bare Qt window %.1f ms, ratio %.2f (aim <= 1.5)\n", a, b, a / b }'
awk -v a="$app_kib" -v b="$bare_kib" 'BEGIN { printf "resident memory before the first play: hauntwatch %.1f MiB, bare Qt window %.1f MiB, ratio %.2f (aim <= 1.3)\n", a / 1024, b / 1024, a / b }'
if [[ -n "$libmpv" ]]; then
  mpv_ms=$(cut -d' ' -f1 "$work/mpv" | median); mpv_kib=$(cut -d' ' -f2 "$work/mpv" | median)
  awk -v m="$mpv_ms" -v k="$mpv_kib" -v b="$bare_ms" -v bk="$bare_kib" 'BEGIN { printf "of that, linking libmpv: bare Qt window with libmpv loaded %.1f ms (%.2f), %.1f MiB (%.2f)\n", m, m / b, k / 1024, k / bk }'
fi
