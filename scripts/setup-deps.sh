#!/usr/bin/env bash
# Installs every Debian package Kivro needs to build, run and test.
# This is the project's single list of dependencies. Idempotent: it installs only what is missing.
set -euo pipefail

PACKAGES=(
  # build
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev libqt6svg6
  libzip-dev libglib2.0-dev libxcb1-dev
  libgstreamer1.0-dev  # the preview asks the media framework whether it can build a player
  libx11-dev  # the preview benchmark reads the screen
  # run
  qt6-qpa-plugins libqt6multimedia6 libqt6multimediawidgets6
  fonts-liberation2 xdg-utils
  # the desktop's usual sans-serif face: without it a minimal system falls back to a monospaced
  # one, and the captions drawn in the default face no longer fit their places
  fonts-dejavu-core
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav
  # test (strace: a black-box test slows the program's copy calls with its fault injection)
  xvfb xauth xdotool unzip x11-utils dbus-daemon python3 strace
  lld  # links the sanitizer build (scripts/test-sanitize.sh), three times as fast as ld
  # checks of .ci/run: formatting of the C++ files, the shell scripts (listed by git)
  clang-format shellcheck git
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
