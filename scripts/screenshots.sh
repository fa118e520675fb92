#!/usr/bin/env bash
# Renders pictures of Kivro's windows under Xvfb into docs/: the real main window with the real
# pack-list window docked on its right (by the same snap as "Magnetise"), idle (kivro.png, and
# kivro@2x.png at 200 %) and while a pack runs (kivro-packing.png).
# The windows show what the program makes of real files and settings: a folder of sample MPEG
# videos made here (a sequence header of 720x576 at 25 fps, then filler) that the browser opens
# at start, three of them handed over on the command line as the file-manager entry hands them
# over, and a pack of those three at the slowest transfer rate. The skin window test draws the
# real windows in its screenshot mode; the areas outside the windows' shapes are transparent.
set -euo pipefail
cd "$(dirname "$0")/.."

command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (run: bash scripts/setup-deps.sh)" >&2; exit 1; }
[ -f build/build.ninja ] || cmake --preset default >/dev/null
cmake --build --preset default --target mainwindow_tst_skinwindow kivro_data >/dev/null

# One user's folders: settings, data, runtime, and a folder of videos, at a fixed place so that
# the pictures show a readable path.
work="${TMPDIR:-/tmp}/kivro-screenshots"
rm -rf "$work"
trap 'rm -rf "$work"' EXIT
mkdir -p docs
videos="$work/home/someone/Videos"
mkdir -p "$videos" "$work/config/Tesma" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
sample() { # <name> <MiB>
  { printf '\x00\x00\x01\xb3\x2d\x02\x40\x33\xff\xff\xe0\x18'; head -c "$(($2 * 1048576))" /dev/zero; } > "$videos/$1"
}
sample holiday-part1.mpg 24
sample holiday-part2.mpg 24
sample holiday-part3.mpg 24
sample wedding.mpg 8

settings() {
  cat > "$work/config/Tesma/Kivro.ini" <<INI
[General]
StartupOpt=LastUsed
LastUsedDir=$videos
SaveTo=LastSaved
LastSavedDir=$videos
tRate=slow
ShowTod=0
INI
}

shoot() { # <screen size> [extra environment]...
  local screen=$1
  shift
  settings
  rm -f "$videos/holiday.mpg"
  env "$@" KIVRO_TEST_CHILD=screenshot KIVRO_SHOT_DIR="$PWD/docs" QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 \
    HOME="$work/home/someone" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime" \
    KIVRO_SHOT_HAND_OFF="$videos/holiday-part1.mpg|$videos/holiday-part2.mpg|$videos/holiday-part3.mpg" \
    KIVRO_SHOT_SAVE_AS="$videos/holiday.mpg" \
    xvfb-run -a -s "-screen 0 ${screen}x24 -nolisten tcp" build/tests/mainwindow_tst_skinwindow
}

shoot 1280x800
shoot 2560x1600 QT_SCALE_FACTOR=2
ls -l docs/kivro.png docs/kivro@2x.png docs/kivro-packing.png
