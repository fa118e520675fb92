#!/usr/bin/env bash
# The real kivro started as the collector starts it: the paths joined by "|" as its argument.
# After the start-up it opens "Save Pack File As" once (the answer's folder becomes
# "LastSavedDir"), shows the tip and the pack-list window where the stored place puts it, and
# shows no box. The handed-off paths are the pack list: Ctrl+P joins exactly those files, in
# their order, into the answered path.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
mkdir -p "$tmp/out dir" "$tmp/a b" "$tmp/x"
head -c 3000 /dev/urandom > "$tmp/a b/c d.mpg"
head -c 2000 /dev/urandom > "$tmp/x/y.mpg"
export KIVRO_TEST_LOG="$tmp/log" KIVRO_TEST_ANSWERS="$tmp/answers"
printf '%s\n' "$tmp/out dir/joined.mpg" > "$KIVRO_TEST_ANSWERS"
mkdir -p "$XDG_CONFIG_HOME/Tesma"
printf '[General]\nBrovletXpos=6000\nBrovletYpos=4500\nMCC=Off\n' > "$XDG_CONFIG_HOME/Tesma/Kivro.ini"
unset QT_QPA_PLATFORM

"$program_dir/kivro" "$tmp/a b/c d.mpg|$tmp/x/y.mpg" &
pid=$!
trap 'kill -9 "$pid" 2>/dev/null || true' EXIT

wait_window "Tesma Kivro Pro" > /dev/null || fail "no main window"
packlist="$(wait_window "Pack List")" || fail "no pack-list window"
wait_window "Tesma Kivro Tip of the Day" > /dev/null || fail "no tip window"
for _ in $(seq 1 300); do
  grep -q '^dialog|Save Pack File As|' "$KIVRO_TEST_LOG" 2>/dev/null && break
  sleep 0.1
done
sleep 0.5
geometry="$(xdotool getwindowgeometry "$packlist")"
[[ "$geometry" == *"Position: 400,300 "* ]] || fail "pack-list window: $geometry"
log_box_count_is 0 || fail "unexpected boxes"

joined="$tmp/out dir/joined.mpg"
packed="box|Information|OK|Tesma Kivro Pro|'$joined' successfully packed! Total filesize is 5,000 bytes.|OK"
press_on_main ctrl+p
wait_for 120 log_has "$packed" || fail "no success box after Ctrl+P"
cat "$tmp/a b/c d.mpg" "$tmp/x/y.mpg" | cmp - "$joined" || fail "the joined file is not the handed-off files in order"

e2e_end_kivro "$pid"
[ "$(grep -c '^dialog|Save Pack File As|' "$KIVRO_TEST_LOG")" -eq 1 ] || fail "dialog not opened once: $(cat "$KIVRO_TEST_LOG")"
grep -q "^dialog|Save Pack File As|$tmp/out dir/joined.mpg" "$KIVRO_TEST_LOG" || fail "dialog answer: $(cat "$KIVRO_TEST_LOG")"
log_box_count_is 1 || fail "unexpected boxes"
grep -qx "LastSavedDir=$tmp/out dir" "$XDG_CONFIG_HOME/Tesma/Kivro.ini" || fail "LastSavedDir: $(grep LastSavedDir "$XDG_CONFIG_HOME/Tesma/Kivro.ini" || echo none)"
echo "PASS"
