#!/usr/bin/env bash
# package.sh PACKAGE_DIR PICTURE_CHECK SOURCE_DIR
# The Debian package as a person gets it: its control fields and contents,
# Debian's validators and lintian, then the program started from a scratch
# folder the package was unpacked into, under its own X server, with a fresh
# home: its window, its picture, and its sample noises in the file picker.
set -euo pipefail
package_dir=$1 checker=$2 source_dir=$3

fail() { echo "FAIL: $*"; exit 1; }
# A step that fails on its own (set -e) says which it was.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND exited with $?"' ERR
for tool in dpkg-deb Xvfb xdotool xwininfo import identify desktop-file-validate appstreamcli lintian man; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh installs it)"
done

shopt -s nullglob
debs=("$package_dir"/hauntwatch_*.deb)
shopt -u nullglob
(( ${#debs[@]} == 1 )) || fail "expected one hauntwatch_*.deb in $package_dir (make package builds it), found ${#debs[@]}"
deb=${debs[0]}
echo "package $deb ($(stat -c %s "$deb") bytes)"

work=$(mktemp -d)
xvfb= program=
# Nothing is left running, whichever way the test ends.
cleanup() {
  if [[ -n "$program" ]]; then kill "$program" 2>/dev/null || true; wait "$program" 2>/dev/null || true; fi
  if [[ -n "$xvfb" ]]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# --- Control fields ---------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[[ "$(field Package)" == hauntwatch ]] || fail "package name is '$(field Package)'"
version=$(field Version) arch=$(field Architecture)
[[ "$arch" == "$(dpkg --print-architecture)" ]] || fail "architecture $arch, not this machine's"
[[ "$(basename "$deb")" == "hauntwatch_${version}_${arch}.deb" ]] || fail "file name $(basename "$deb") does not say ${version} and ${arch}"
[[ "$(field Section)" == utils && "$(field Priority)" == optional ]] || fail "section/priority $(field Section)/$(field Priority)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "maintainer '$(field Maintainer)' is not 'Name <address>'"
description=$(field Description)
(( $(wc -l <<<"$description") > 2 )) || fail "the description has no long part: $description"
# Each dependency is one entry of the comma-separated list, with or without a version.
depends=",$(field Depends | tr -d ' '),"
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libpulse0 libmpv2 qt6-qpa-plugins qt6-wayland xdg-utils; do
  [[ "$depends" =~ ,${needed//+/\\+}(\(|,) ]] || fail "Depends lacks $needed: $(field Depends)"
done
echo "control fields: $(field Package) $version $arch, Depends: $(field Depends)"

# --- Contents ---------------------------------------------------------------
root=$work/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share
expected=(
  usr/bin/hauntwatch
  usr/share/hauntwatch/thanks.wav usr/share/hauntwatch/mervo.wav
  usr/share/applications/hauntwatch.desktop
  usr/share/mime/packages/hauntwatch.xml
  usr/share/metainfo/io.github.hauntwatch.hauntwatch.metainfo.xml
  usr/share/man/man1/hauntwatch.1.gz
  usr/share/doc/hauntwatch/copyright usr/share/doc/hauntwatch/changelog.gz
  usr/share/icons/hicolor/scalable/apps/hauntwatch.svg
  usr/share/icons/hicolor/scalable/mimetypes/application-x-hauntwatch.svg
)
for size in 48 128 256; do
  expected+=(usr/share/icons/hicolor/${size}x${size}/apps/hauntwatch.png
             usr/share/icons/hicolor/${size}x${size}/mimetypes/application-x-hauntwatch.png)
done
samples=()
for noise in "$source_dir"/res/data/noises/*.wav; do
  samples+=("$(basename "$noise")")
  expected+=("usr/share/hauntwatch/noises/$(basename "$noise")")
done
(( ${#samples[@]} > 0 )) || fail "no sample noises in $source_dir/res/data/noises"
for file in "${expected[@]}"; do
  [[ -f "$root/$file" ]] || fail "the package lacks /$file"
done
[[ -x "$root/usr/bin/hauntwatch" ]] || fail "/usr/bin/hauntwatch is not executable"
for size in 48 128 256; do
  got=$(identify -format '%wx%h' "$share/icons/hicolor/${size}x${size}/apps/hauntwatch.png")
  [[ "$got" == "${size}x${size}" ]] || fail "the ${size}x${size} icon is $got"
done
# The program finds its data from where it is, so no path of this build may be in it.
for path in "$source_dir" "$package_dir"; do
  ! grep -qaF "$path" "$root/usr/bin/hauntwatch" || fail "the binary holds the build path $path"
done
echo "contents: ${#expected[@]} files, sample noises ${samples[*]}"

# --- Validators -------------------------------------------------------------
desktop-file-validate "$share/applications/hauntwatch.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/io.github.hauntwatch.hauntwatch.metainfo.xml" ||
  fail "appstreamcli validate"
# The manual page renders without a warning from groff, as lintian checks it.
man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$share/man/man1/hauntwatch.1.gz" 2>&1 >/dev/null)
[[ -z "$man_warnings" ]] || fail "the manual page has warnings: $man_warnings"
for variable in HAUNTWATCH_HOME XDG_DATA_HOME HAUNTWATCH_DATA_DIR HAUNTWATCH_AO HAUNTWATCH_VO noises.hwt thanks.wav \
                mervo.wav hauntwatch.conf; do
  zgrep -qF "$variable" "$share/man/man1/hauntwatch.1.gz" || fail "the manual page does not mention $variable"
done
echo "desktop entry, software-centre entry and manual page are valid"

# lintian need not be silent; what it says is kept beside the package, and an
# error (a broken package by Debian's rules) fails the test.
lintian_out=$package_dir/lintian.txt
lintian --tag-display-limit 0 --display-info --pedantic "$deb" >"$lintian_out" 2>&1 || true
echo "lintian ($lintian_out):"
grep -E '^[EWIPXO]: ' "$lintian_out" | sed 's/^/  /' || echo "  (nothing)"
! grep -q '^E: ' "$lintian_out" || fail "lintian reports errors"

# --- The unpacked program under its own X server -----------------------------
mkfifo "$work/display"
# -noreset: a server that resets when its last client leaves drops the
# program if it connects while xdotool's poll is just leaving.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" & xvfb=$!
read -r -t 30 display <"$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$display
echo "Xvfb on $DISPLAY"

# A fresh person: nothing but a home folder and a runtime folder, the data
# folder found from the binary's place, and no sound or video device.
home=$work/home
mkdir -p "$home"
mkdir -m 700 "$work/run"
env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$work/run" DISPLAY="$DISPLAY" LANG=C.UTF-8 \
    HAUNTWATCH_AO=null HAUNTWATCH_VO=null \
    "$root/usr/bin/hauntwatch" >"$work/program.log" 2>&1 & program=$!
# What the screen showed when it went wrong is kept beside the package.
program_failed() {
  import -window root "$package_dir/package-test-failure.png" 2>/dev/null || true
  fail "$*; the screen is in $package_dir/package-test-failure.png; the program said: $(cat "$work/program.log")"
}

# Waits up to 30 s for a visible window whose title matches and prints its id.
# A search can die of an X error when a window closes under it: then it looks
# again.
wait_window() {
  local deadline=$((SECONDS + 30)) id
  while (( SECONDS < deadline )); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) || true
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

first=$(wait_window '^(Hauntwatch|qwendrik)$') || program_failed "no window appeared"
# A first start has no settings file yet and may say so in a message box
# (titled with the program's old name): a person presses Return.
if [[ "$(xdotool getwindowname "$first")" == qwendrik ]]; then
  echo "a message box at the first start; closing it"
  xdotool windowfocus --sync "$first" key Return
fi
window=$(wait_window '^Hauntwatch$') || program_failed "no window named Hauntwatch appeared"
echo "window $window"

# The first paint may still be on its way: look until the picture shows.
found=
for attempt in $(seq 50); do
  # A window just mapped may not be readable yet.
  import -window "$window" "$work/shot.png" 2>/dev/null || { sleep 0.2; continue; }
  if top=$("$checker" "$work/shot.png" "$source_dir/res/picture/mansion.bmp"); then found=$top; break; fi
  sleep 0.2
done
[[ -n "$found" ]] || program_failed "the window does not show the picture"
echo "picture at row $found"

# Clicks a button given in dialog units of a dialog's template, as the dialog
# is scaled on screen.
click_in() {
  local dialog=$1 x=$2 y=$3 width=$4 height=$5 left top w h
  read -r left top w h < <(xwininfo -id "$dialog" | awk '/Absolute upper-left X/ { x = $NF }
    /Absolute upper-left Y/ { y = $NF } /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }')
  xdotool mousemove --sync $((left + w * x / width)) $((top + h * y / height)) click 1
}

# The schedule (Ctrl+C), "Edit Noises", "Add a Noise": the picker opens in the
# sample-noises folder of the unpacked tree.
xdotool windowfocus --sync "$window"
xdotool key ctrl+c
schedule=$(wait_window '^So, What Do You Want') || program_failed "Ctrl+C opened no schedule dialog"
click_in "$schedule" 161 257 300 271
library=$(wait_window '^Add or Delete Noises$') || program_failed "\"Edit Noises\" opened no noise library"
click_in "$library" 135 152 317 166
picker=$(wait_window '^Open$') || program_failed "\"Add a Noise\" opened no file picker"
echo "file picker $picker"

# A sample's name typed into the file-name field is accepted only when the
# file is in the folder the picker shows.
sample=${samples[0]}
xdotool windowfocus --sync "$picker"
xdotool type --delay 30 "$sample"
xdotool key Return
name_event=$(wait_window '^Name the Event$') || program_failed "the picker did not accept $sample"

settings=$home/.config/Hauntwatch/hauntwatch.conf
# Qt writes the key as "Last%20Folder" in the group "File%20Picker".
awk -F= -v want="$share/hauntwatch/noises" '$1 ~ /^Last(%20| )Folder$/ && $2 == want { found = 1 } END { exit !found }' \
    "$settings" ||
  program_failed "the picker's folder is not the unpacked sample folder: $(cat "$settings")"
echo "the picker opened in $share/hauntwatch/noises and accepted $sample"

# Name it and close the dialogs: the saved settings hold the path the picker gave.
click_in "$name_event" 124 60 250 95
xdotool type --delay 30 "Sample"
click_in "$name_event" 218 81 250 95
click_in "$(wait_window '^Add or Delete Noises$')" 278 152 317 166
# Esc, not OK: a fresh schedule's quiet hours (0) are not yet valid, and the
# dialog saves the settings however it is closed.
schedule=$(wait_window '^So, What Do You Want') || program_failed "the schedule dialog went away"
xdotool windowfocus --sync "$schedule" key Escape
saved=$home/.local/share/qwendrik/noises.hwt
timeout 20 bash -c 'until grep -qaF "$1" "$2" 2>/dev/null; do sleep 0.1; done' _ "$share/hauntwatch/noises/$sample" "$saved" ||
  program_failed "the settings file in the home folder does not hold $share/hauntwatch/noises/$sample"
grep -qaF "Sample" "$saved" || program_failed "the settings file does not hold the event's name"
echo "saved $saved with $sample from the unpacked tree"

xdotool windowfocus --sync "$window"
xdotool key alt+q
timeout 20 tail --pid="$program" -f /dev/null || program_failed "the program did not quit on &Quit"
status=0
wait "$program" || status=$?
program=
(( status == 0 )) || program_failed "the program exited with $status"
echo "quit on &Quit"
echo "the program said:"
sed 's/^/  /' "$work/program.log"
