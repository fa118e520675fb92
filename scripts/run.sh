#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Kivro, puts it into the desktop's menu and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
bash scripts/install-desktop-entry.sh build/bin
exec ./build/bin/kivro "$@"
