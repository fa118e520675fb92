#!/usr/bin/env bash
# Unpack holds every listed source open at once. Started with a soft limit of 64 open files (as
# a low system default would give it), the real kivro still unpacks 80 handed-off files: it
# raises its own soft limit to the hard one at start-up.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
e2e_prompt_files

list=""
for i in $(seq 1 80); do
  head -c 5000 /dev/urandom > "$src/f$i.mpg"
  list+="${list:+|}$src/f$i.mpg"
done
e2e_action_settings "$src" JbatNo
printf '%s\n' "$tmp/joined.mpg" > "$KIVRO_TEST_ANSWERS"

prlimit --nofile=64:4096 "$program_dir/kivro" "$list" &
pid=$!
trap 'kill -9 "$pid" 2>/dev/null || true' EXIT

wait_for 60 has_window "Pack List" || fail "no pack-list window"
wait_for 60 grep -q '^dialog|Save Pack File As|' "$KIVRO_TEST_LOG" || fail "no dialog"
press_on_main ctrl+u
wait_for 120 grep -q '^box|' "$KIVRO_TEST_LOG" || fail "no box after Ctrl+U"
log_has "box|Information|OK|Tesma Kivro Pro|80 files successfully unpacked!|OK" || fail "Ctrl+U did not succeed"
for i in 1 40 80; do
  cat "$src/f$i.mpg.001" "$src/f$i.mpg.002" | cmp - "$src/f$i.mpg" || fail "the pieces of f$i.mpg differ"
done

e2e_end_kivro "$pid"
echo "PASS"
