#!/usr/bin/env bash
# Hostile runs of the real kivro, without the file-permission override root has (as a user has
# none): a pack with "delete after action" and a Trash whose info folder cannot be written ends
# with its success box, then one box that names the sources kept, and the program still answers
# SIGTERM; an unpack with the same Trash the same; a pack whose second source cannot be read
# leaves the old save-as file byte for byte; a handed-off path that is not valid UTF-8 is refused
# by name while the others are packed.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
e2e_prompt_files
pid=""
trap '[ -z "$pid" ] || kill -9 "$pid" 2>/dev/null || true' EXIT

# kivro as a user: root loses its permission override; anyone else is a user already.
run_kivro() {
  if [ "$(id -u)" -eq 0 ]; then
    setpriv --inh-caps=-all --bounding-set=-dac_override,-dac_read_search "$program_dir/kivro" "$@" &
  else
    "$program_dir/kivro" "$@" &
  fi
  pid=$!
}

# Starts kivro with this hand-off text, waits for its save dialog, presses $2 and waits for the
# first box after it.
action() {
  : > "$KIVRO_TEST_LOG"
  run_kivro "$1"
  wait_for 60 has_window "Pack List" || fail "no pack-list window"
  wait_for 60 grep -q '^dialog|Save Pack File As|' "$KIVRO_TEST_LOG" || fail "no dialog"
  press_on_main "$2"
}

# Ends kivro with SIGTERM, as a desktop's log-out does; it must still answer.
stop_kivro() {
  kill -TERM "$pid"
  local rc=0
  for _ in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "kivro does not end on SIGTERM"
  wait "$pid" || rc=$?
  pid=""
  [ "$rc" -eq 0 ] || fail "exit status $rc"
}

boxes() {
  grep -c '^box|' "$KIVRO_TEST_LOG" || true
}

e2e_action_settings "$src" JbatNo
sed -i 's/^Delact=No$/Delact=NoPrompt/' "$XDG_CONFIG_HOME/Tesma/Kivro.ini"
mkdir -p "$XDG_DATA_HOME/Trash/files" "$XDG_DATA_HOME/Trash/info"
chmod 500 "$XDG_DATA_HOME/Trash/info"

# 1. Pack, 25 sources, the Trash cannot take them: success, then the kept box (20 named, 5 more).
list=""
kept="These files could not be moved to the Trash and were kept:\\n"
for i in $(seq -w 1 25); do
  head -c 3000 /dev/urandom > "$src/s$i.mpg"
  list+="${list:+|}$src/s$i.mpg"
  [ "$i" -gt 20 ] || kept+="\\n$src/s$i.mpg"
done
kept+="\\nand 5 more."
joined="$tmp/out/joined.mpg"
printf '%s\n' "$joined" > "$KIVRO_TEST_ANSWERS"
action "$list" ctrl+p
wait_for 120 log_has "box|Information|OK|Tesma Kivro Pro|$kept|OK" || fail "no box naming the kept sources"
[ "$(grep '^box|' "$KIVRO_TEST_LOG" | head -1)" = "box|Information|OK|Tesma Kivro Pro|'$joined' successfully packed! Total filesize is 75,000 bytes.|OK" ] \
  || fail "the success box is not the first box"
[ "$(boxes)" -eq 2 ] || fail "not two boxes"
for i in $(seq -w 1 25); do
  [ -f "$src/s$i.mpg" ] || fail "s$i.mpg is gone"
done
cat "$src"/s*.mpg | cmp - "$joined" || fail "the joined file differs"
[ -z "$(ls -A "$XDG_DATA_HOME/Trash/files")" ] || fail "something went into the Trash"
stop_kivro

# 2. Unpack of one source, same Trash: its success, then the kept box.
mkdir "$tmp/big"
head -c 10000 /dev/urandom > "$tmp/big/big.mpg"
printf '%s\n' "$tmp/unused" > "$KIVRO_TEST_ANSWERS"
action "$tmp/big/big.mpg" ctrl+u
wait_for 120 log_has "box|Information|OK|Tesma Kivro Pro|These files could not be moved to the Trash and were kept:\\n\\n$tmp/big/big.mpg|OK" \
  || fail "no kept box after the unpack"
[ "$(grep '^box|' "$KIVRO_TEST_LOG" | head -1)" = "box|Information|OK|Tesma Kivro Pro|1 file successfully unpacked!|OK" ] \
  || fail "the unpack's success box is not the first box"
[ "$(boxes)" -eq 2 ] || fail "not two boxes"
cat "$tmp/big/big.mpg".00? | cmp - "$tmp/big/big.mpg" || fail "the pieces differ"
stop_kivro

# 3. The second source cannot be read: the old save-as file stays byte for byte.
sed -i 's/^Delact=NoPrompt$/Delact=No/' "$XDG_CONFIG_HOME/Tesma/Kivro.ini"
head -c 5000 /dev/urandom > "$tmp/old.bin"
cp "$tmp/old.bin" "$joined"
chmod 000 "$src/s02.mpg"
printf '%s\n' "$joined" > "$KIVRO_TEST_ANSWERS"
action "$src/s01.mpg|$src/s02.mpg|$src/s03.mpg" ctrl+p
wait_for 120 grep -q '^box|' "$KIVRO_TEST_LOG" || fail "no box after the pack"
sleep 1
[ "$(boxes)" -eq 1 ] || fail "not one box"
log_has "box|Critical|OK|Tesma Kivro Pro|Error opening '$src/s02.mpg'!|OK" || fail "no 'Error opening' box"
cmp "$tmp/old.bin" "$joined" || fail "the old save-as file was changed"
chmod 644 "$src/s02.mpg"
stop_kivro

# 4. A path that is not valid UTF-8 between two others: refused by name; the others are packed.
bad="$(printf '%s/caf\xe9.mpg' "$src")"
cp "$src/s03.mpg" "$bad"
# The refusal comes before the save dialog.
printf 'OK\n%s\n' "$joined" > "$KIVRO_TEST_ANSWERS"
: > "$KIVRO_TEST_LOG"
run_kivro "$src/s01.mpg|$bad|$src/s02.mpg"
refused="box|Exclamation|OK|Tesma Kivro Pro|'$src/caf"$'\xef\xbf\xbd'".mpg' cannot be used: its name is not valid UTF-8. Filename skipped.|OK"
wait_for 60 log_has "$refused" || fail "no refusal of the name"
wait_for 60 grep -q '^dialog|Save Pack File As|' "$KIVRO_TEST_LOG" || fail "no dialog"
press_on_main ctrl+p
wait_for 120 log_has "box|Information|OK|Tesma Kivro Pro|'$joined' successfully packed! Total filesize is 6,000 bytes.|OK" \
  || fail "the two other files were not packed"
cat "$src/s01.mpg" "$src/s02.mpg" | cmp - "$joined" || fail "the joined file differs"
[ "$(boxes)" -eq 2 ] || fail "not two boxes"
stop_kivro
trap - EXIT
echo "PASS"
