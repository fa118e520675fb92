#!/usr/bin/env bash
# The main road through the real kivro on an X server: started as the collector starts it, with
# two real files on its command line and a complete settings file (no tip window, no MPEG check,
# a 4 K custom piece size, pieces where the file is, a plain join batch file). The save path is
# answered to "Save Pack File As"; once the pack-list window is up and the main window has the
# keyboard, Ctrl+P joins the two files byte for byte into that path and reports it, and Ctrl+U
# splits each of them into numbered pieces beside it with its join batch file. The program then
# closes with status 0 and has shown no other box.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
e2e_prompt_files

head -c 10000 /dev/urandom > "$src/a b.mpg"
head -c 7000 /dev/urandom > "$src/c.mpg"

e2e_action_settings "$src" Jbat

joined="$out/joined.mpg"
packed="box|Information|OK|Tesma Kivro Pro|'$joined' successfully packed! Total filesize is 17,000 bytes.|OK"
unpacked="box|Information|OK|Tesma Kivro Pro|2 files successfully unpacked!|OK"
printf '%s\n' "$joined" OK OK > "$KIVRO_TEST_ANSWERS"

"$program_dir/kivro" "$src/a b.mpg|$src/c.mpg" &
pid=$!
trap 'kill -9 "$pid" 2>/dev/null || true' EXIT

wait_for 60 has_window "Tesma Kivro Pro" || fail "no main window"
wait_for 60 has_window "Pack List" || fail "no pack-list window"
# The start-up shows the pack-list window; the hand-off then adds the files and asks for the
# save path.
expect_save_dialog_first "$joined"

press_on_main ctrl+p
wait_for 120 log_has "$packed" || fail "no success box after Ctrl+P"
cat "$src/a b.mpg" "$src/c.mpg" | cmp - "$joined" || fail "the joined file differs from its sources"

press_on_main ctrl+u
wait_for 120 log_has "$unpacked" || fail "no success box after Ctrl+U"
# Pieces of 4,096 bytes beside each source, numbered from 001, that join to it again.
check_pieces() {
  local name="$1" count="$2" i piece pieces=() copy_list=""
  for i in $(seq 1 "$count"); do
    piece="$name.$(printf '%03d' "$i")"
    pieces+=("$src/$piece")
    copy_list+="${copy_list:+ + }\"$piece\""
  done
  [ ! -e "$src/$name.$(printf '%03d' $((count + 1)))" ] || fail "too many pieces of $name"
  for piece in "${pieces[@]:0:$((count - 1))}"; do
    [ "$(stat -c %s "$piece")" -eq 4096 ] || fail "piece $piece is $(stat -c %s "$piece") bytes"
  done
  cat "${pieces[@]}" | cmp - "$src/$name" || fail "the pieces of $name do not join to it"
  local batch="$src/$name-JOIN.bat"
  [ -f "$batch" ] || fail "no join batch file $batch"
  [ "$(head -c 10 "$batch")" = $'@echo off\r' ] || fail "$batch does not begin with @echo off and CR LF"
  local copy="Copy/b $copy_list \"$name-JOIN.mpg\""
  tr -d '\r' < "$batch" | grep -qxF -- "$copy" || fail "$batch lacks the line: $copy"
}
check_pieces "a b.mpg" 3
check_pieces "c.mpg" 2

e2e_end_kivro "$pid"
log_prompt_count_is 3 || fail "unexpected log lines"
[ "$(log_prompts | sed -n 2p)" = "$packed" ] || fail "second prompt"
[ "$(log_prompts | sed -n 3p)" = "$unpacked" ] || fail "third prompt"
echo "PASS"
