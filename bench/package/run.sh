#!/usr/bin/env bash
# run.sh BUILD_DIR [RUNS]: what the release build gains over the sanitizer
# build that `make test` uses (start to first paint and resident memory then,
# the median of RUNS starts each, taking turns), and the Debian package's size
# beside what it unpacks to.
#   HAUNTWATCH_SANITIZER_BENCH: a sanitizer build holding bench_startup_hauntwatch
#   HAUNTWATCH_PACKAGE_DIR: the folder holding hauntwatch_VERSION_ARCH.deb
set -euo pipefail
build=$(realpath "$1") runs=${2:-15}
sanitizer=${HAUNTWATCH_SANITIZER_BENCH:-}
package_dir=${HAUNTWATCH_PACKAGE_DIR:-}

source "$(dirname "$0")/../window-session.sh"
: > "$HAUNTWATCH_HOME/noises.hwt"

source "$(dirname "$0")/../startup/compare.sh"
mib() { awk -v b="$1" 'BEGIN { printf "%.2f MiB", b / 1048576 }'; }

release_probe=$build/bench/startup/bench_startup_hauntwatch
sanitizer_probe=$sanitizer/bench/startup/bench_startup_hauntwatch
if [[ -x "$release_probe" && -n "$sanitizer" && -x "$sanitizer_probe" ]]; then
  take_turns "$runs" "$release_probe" "$work/release" "$sanitizer_probe" "$work/sanitizer"
  r_ms=$(cut -d' ' -f1 "$work/release" | median); s_ms=$(cut -d' ' -f1 "$work/sanitizer" | median)
  r_kib=$(cut -d' ' -f2 "$work/release" | median); s_kib=$(cut -d' ' -f2 "$work/sanitizer" | median)
  echo "platform: ${QT_QPA_PLATFORM:-xcb (Xvfb)}, median of $runs starts each"
  awk -v a="$r_ms" -v b="$s_ms" 'BEGIN { printf "start to first paint: release %.1f ms, sanitizer build %.1f ms, ratio %.2f\n", a, b, a / b }'
  awk -v a="$r_kib" -v b="$s_kib" 'BEGIN { printf "resident memory at the first paint: release %.1f MiB, sanitizer build %.1f MiB, ratio %.2f\n", a / 1024, b / 1024, a / b }'
else
  echo "start-up skipped: needs $release_probe and a sanitizer build in HAUNTWATCH_SANITIZER_BENCH (make bench makes both)"
fi

shopt -s nullglob
debs=("${package_dir:-/nonexistent}"/hauntwatch_*.deb)
if (( ${#debs[@]} == 1 )); then
  deb=${debs[0]}
  dpkg-deb -x "$deb" "$work/root"
  unpacked=$(find "$work/root" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
  binary=$(stat -c %s "$work/root/usr/bin/hauntwatch")
  data=$(find "$work/root/usr/share/hauntwatch" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
  echo "package $(basename "$deb"): $(mib "$(stat -c %s "$deb")"), unpacked $(mib "$unpacked") (binary $(mib "$binary"), sounds $(mib "$data")), ratio $(awk -v a="$(stat -c %s "$deb")" -v b="$unpacked" 'BEGIN { printf "%.2f", a / b }')"
else
  echo "package size skipped: no single hauntwatch_*.deb in HAUNTWATCH_PACKAGE_DIR (make bench builds it)"
fi
