# Sourced by the benchmarks that open windows: re-runs the calling script
# under its own Xvfb (offscreen when there is none, unless the caller needs
# real windows), then gives it fresh home, settings and runtime folders in
# $work and the null audio and video outputs.
#   BENCH_NEEDS: tools without which the benchmark is skipped (real windows).
if [[ "${BENCH_INSIDE_XVFB:-}" != 1 ]]; then
  for tool in ${BENCH_NEEDS:-}; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 0; }
  done
  if command -v xvfb-run >/dev/null; then
    BENCH_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
  fi
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
