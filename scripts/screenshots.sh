#!/usr/bin/env bash
# Renders pictures of Kivro's windows under Xvfb into docs/: the real main window with the real
# pack-list window docked on its right (by the same snap as "Magnetise"), idle (kivro.png, and
# kivro@2x.png at 200 %) and while a pack runs (kivro-packing.png: the window's own busy state).
# The skin window test draws them in its screenshot mode, with a folder of sample videos in the
# browser and the pack list; the areas outside the windows' shapes are transparent.
set -euo pipefail
cd "$(dirname "$0")/.."

command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (run: bash scripts/setup-deps.sh)" >&2; exit 1; }
[ -f build/build.ninja ] || cmake --preset default >/dev/null
cmake --build --preset default --target mainwindow_tst_skinwindow >/dev/null

runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
mkdir -p docs

shoot() { # <screen size> [extra environment]...
  local screen=$1
  shift
  env "$@" KIVRO_TEST_CHILD=screenshot KIVRO_SHOT_DIR="$PWD/docs" QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 \
    XDG_RUNTIME_DIR="$runtime" \
    xvfb-run -a -s "-screen 0 ${screen}x24 -nolisten tcp" build/tests/mainwindow_tst_skinwindow
}

shoot 1280x800
shoot 2560x1600 QT_SCALE_FACTOR=2
ls -l docs/kivro.png docs/kivro@2x.png docs/kivro-packing.png
