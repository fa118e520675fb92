#!/usr/bin/env bash
# Started and stopped again and again, the real kivro never dies of a signal: each cycle starts it
# with a folder of files in its browser, gives the main window the keyboard, selects every file
# (Ctrl+A), moves the focus on (Tab), presses Space and asks it to close (SIGTERM) while whatever
# that started may still be running (boxes and dialogs are real ones: nothing answers them); it
# must end with status 0 each time. KIVRO_LOOP_CYCLES sets
# the number of cycles (30 unless set); core files, when the system writes them, are kept in
# KIVRO_LOOP_CORES (unset: none are kept).
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
for i in 1 2 3 4 5; do
  head -c 20000 /dev/urandom > "$src/clip$i.mpg"
done
e2e_action_settings "$src" JbatNo
cycles="${KIVRO_LOOP_CYCLES:-30}"
cores="${KIVRO_LOOP_CORES:-}"
if [ -n "$cores" ]; then
  mkdir -p "$cores"
  ulimit -c unlimited
fi

pid=""
trap '[ -z "$pid" ] || kill -9 "$pid" 2>/dev/null || true' EXIT
for cycle in $(seq 1 "$cycles"); do
  (cd "$tmp" && exec "$program_dir/kivro") &
  pid=$!
  wait_for 60 has_window "Tesma Kivro Pro" || fail "cycle $cycle: no main window"
  focus_window "Tesma Kivro Pro"
  xdotool key --clearmodifiers ctrl+a Tab space 2>/dev/null || true
  kill -TERM "$pid"
  rc=0
  wait "$pid" || rc=$?
  pid=""
  if [ "$rc" -ne 0 ]; then
    if [ -n "$cores" ] && [ -f "$tmp/core" ]; then
      mv "$tmp/core" "$cores/core.$cycle"
    fi
    fail "cycle $cycle: exit status $rc"
  fi
  # The next copy must not find this one's lock or windows.
  wait_for 30 no_window "Tesma Kivro Pro" || fail "cycle $cycle: the main window stays"
done
trap - EXIT
echo "PASS ($cycles cycles)"
