#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Kivro (the two programs and the files beside them; the tests
# are built by scripts/test.sh), puts it into the desktop's menu and starts it from the home
# folder, as the menu entry does.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target programs
bash scripts/install-desktop-entry.sh build/bin
program="$PWD/build/bin/kivro"
cd "$HOME"
exec "$program" "$@"
