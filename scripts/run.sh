#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Kivro and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
exec ./build/bin/kivro "$@"
