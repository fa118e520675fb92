#!/usr/bin/env bash
# The real kivro started as the collector starts it: the paths joined by "|" as its argument.
# After the start-up it opens "Save Pack File As" once (the answer's folder becomes
# "LastSavedDir"), shows the tip and the pack-list window where the stored place puts it, and
# shows no box.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_under_xvfb "$0" "$@"
e2e_private_folders
mkdir -p "$tmp/out dir"
export KIVRO_TEST_LOG="$tmp/log" KIVRO_TEST_ANSWERS="$tmp/answers"
printf '%s\n' "$tmp/out dir/joined.mpg" > "$KIVRO_TEST_ANSWERS"
mkdir -p "$XDG_CONFIG_HOME/Tesma"
printf '[General]\nBrovletXpos=6000\nBrovletYpos=4500\n' > "$XDG_CONFIG_HOME/Tesma/Kivro.ini"
unset QT_QPA_PLATFORM

fail() { echo "FAIL: $*" >&2; exit 1; }

"$program_dir/kivro" "/a b/c d.mpg|/x/y.mpg" &
pid=$!
trap 'kill -9 "$pid" 2>/dev/null || true' EXIT

wait_window "Tesma Kivro Pro" > /dev/null || fail "no main window"
packlist="$(wait_window "Pack List")" || fail "no pack-list window"
wait_window "Tesma Kivro Tip of the Day" > /dev/null || fail "no tip window"
for i in $(seq 1 300); do
  grep -q '^dialog|Save Pack File As|' "$KIVRO_TEST_LOG" 2>/dev/null && break
  sleep 0.1
done
sleep 0.5
geometry="$(xdotool getwindowgeometry "$packlist")"
[[ "$geometry" == *"Position: 400,300 "* ]] || fail "pack-list window: $geometry"

kill -TERM "$pid"
rc=0
wait "$pid" || rc=$?
trap - EXIT
[ "$rc" -eq 0 ] || fail "exit status $rc"
[ "$(grep -c '^dialog|Save Pack File As|' "$KIVRO_TEST_LOG")" -eq 1 ] || fail "dialog not opened once: $(cat "$KIVRO_TEST_LOG")"
grep -q "^dialog|Save Pack File As|$tmp/out dir/joined.mpg" "$KIVRO_TEST_LOG" || fail "dialog answer: $(cat "$KIVRO_TEST_LOG")"
[ "$(grep -vc '^dialog|' "$KIVRO_TEST_LOG")" -eq 0 ] || fail "unexpected boxes: $(cat "$KIVRO_TEST_LOG")"
grep -qx "LastSavedDir=$tmp/out dir" "$XDG_CONFIG_HOME/Tesma/Kivro.ini" || fail "LastSavedDir: $(grep LastSavedDir "$XDG_CONFIG_HOME/Tesma/Kivro.ini" || echo none)"
echo "PASS"
