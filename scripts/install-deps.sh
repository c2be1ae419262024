#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Hauntwatch need.
# Quick when everything is already there: it only asks dpkg.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  qt6-base-dev libqt6dbus6
  libmpv-dev libpulse-dev libsystemd-dev
  pulseaudio pulseaudio-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  libx11-dev locales
  xvfb xauth x11-utils xdotool imagemagick
  openbox pulseaudio pulseaudio-utils python3
  at-spi2-core python3-pyatspi python3-jinja2 python3-ephem
  xdg-utils libglib2.0-bin
  dbus-daemon
  libmosquitto-dev mosquitto openssl
  dpkg-dev file lintian desktop-file-utils appstream systemd
  fonts-noto-core
  # The end-to-end cases under GNOME: a headless shell on Wayland drawn by
  # Mesa's software renderer, PipeWire with WirePlumber and pipewire-pulse,
  # Qt's Wayland plugin, and GLib's D-Bus for Python (tests/e2e/gnome.py).
  gnome-shell gnome-session-bin gjs libgl1-mesa-dri
  pipewire pipewire-bin pipewire-pulse wireplumber libspa-0.2-modules
  qt6-wayland python3-gi
)
# Extra packages a caller may ask for, e.g. "clang libclang-rt-14-dev" for the fuzzer.
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
