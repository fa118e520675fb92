#!/usr/bin/env bash
# Without an X display to connect to, both programs end at once with status 1 and say why on the
# terminal (the collector names the path it could not hand over); neither dies of a signal (no
# SIGABRT, no core file). A window system that fails to start in Qt itself (here: a platform that
# does not exist) ends the same way.
set -euo pipefail
program_dir="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" XDG_RUNTIME_DIR="$tmp/runtime" HOME="$tmp"
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# A display number no X server here uses.
n=4321
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
: > "$tmp/a.bin"
for program in kivro brovlet; do
  if [ "$program" = kivro ]; then
    args=()
    says_display="$program: cannot connect to the X display \":$n\""
    says_platform="^$program: .*platform plugin"
  else
    args=(--each "$tmp/a.bin")
    says_display="brovlet: no display could be opened; '$tmp/a.bin' was not handed over."
    says_platform="^brovlet: no display could be opened; '$tmp/a.bin' was not handed over.\$"
  fi
  rc=0
  (cd "$tmp" && DISPLAY=":$n" QT_QPA_PLATFORM=xcb timeout 60 "$program_dir/$program" "${args[@]}" 2> "$tmp/err") || rc=$?
  [ "$rc" -eq 1 ] || { echo "FAIL: $program ended with status $rc" >&2; cat "$tmp/err" >&2; exit 1; }
  grep -qF "$says_display" "$tmp/err" \
    || { echo "FAIL: $program did not say why" >&2; cat "$tmp/err" >&2; exit 1; }
  [ ! -e "$tmp/core" ] || { echo "FAIL: $program left a core file" >&2; exit 1; }
  rc=0
  (cd "$tmp" && QT_QPA_PLATFORM=none-such timeout 60 "$program_dir/$program" "${args[@]}" 2> "$tmp/err") || rc=$?
  [ "$rc" -eq 1 ] || { echo "FAIL: $program without its platform ended with status $rc" >&2; cat "$tmp/err" >&2; exit 1; }
  grep -q "$says_platform" "$tmp/err" \
    || { echo "FAIL: $program did not say why it cannot start" >&2; cat "$tmp/err" >&2; exit 1; }
  [ ! -e "$tmp/core" ] || { echo "FAIL: $program left a core file" >&2; exit 1; }
done
echo "PASS"
