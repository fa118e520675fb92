#!/usr/bin/env bash
# An output that is gone before the real kivro closes it is never reported as written: the
# save-as folder removed during a slow pack with "delete after action" on ends with "'...' was
# removed while it was being written. Packing aborted!" and no success box, both sources stay
# where they are and nothing goes to the Trash; the window is idle again, and the next Ctrl+P
# packs into that name. The same for an unpack whose custom folder is removed while its last
# piece is written. Run without root's file-permission override (as a user has none). The copy is
# slowed, not made large: every in-kernel copy call returns only after half a second (strace's
# fault injection), so that the folder goes while the file is open.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
e2e_prompt_files
command -v strace > /dev/null || fail "strace is needed (scripts/setup-deps.sh)"
tracer=""
# A test that ends early ends kivro (the tracer's child) and the tracer.
end_all() {
  [ -n "$tracer" ] || return 0
  local kivro
  kivro="$(cat "/proc/$tracer/task/$tracer/children" 2>/dev/null || true)"
  [ -z "$kivro" ] || kill -9 "$kivro" 2>/dev/null || true
  kill -9 "$tracer" 2>/dev/null || true
}
trap end_all EXIT

# kivro under strace, as a user: root loses its permission override; anyone else is a user already.
start_slow_kivro() {
  local as_user=()
  # shellcheck disable=SC2054 # the commas belong to setpriv's option
  [ "$(id -u)" -ne 0 ] || as_user=(setpriv --inh-caps=-all --bounding-set=-dac_override,-dac_read_search)
  : > "$KIVRO_TEST_LOG"
  strace -f --seccomp-bpf -qq -o /dev/null -e trace=copy_file_range,sendfile \
    -e inject=copy_file_range,sendfile:delay_exit=500000 "${as_user[@]}" "$program_dir/kivro" "$1" &
  tracer=$!
  wait_for 60 has_window "Pack List" || fail "no pack-list window"
  wait_for 60 grep -q '^dialog|Save Pack File As|' "$KIVRO_TEST_LOG" || fail "no dialog"
}

# Ends kivro (the tracer's child) with SIGTERM; the tracer ends with its status.
stop_slow_kivro() {
  local kivro rc=0
  kivro="$(cat "/proc/$tracer/task/$tracer/children")"
  [ -n "$kivro" ] || fail "kivro is not running"
  kill -TERM "$kivro"
  wait "$tracer" || rc=$?
  tracer=""
  [ "$rc" -eq 0 ] || fail "exit status $rc"
}

boxes() {
  grep -c '^box|' "$KIVRO_TEST_LOG" || true
}

# The first box of the run, once it is there.
first_box() {
  wait_for 120 grep -q '^box|' "$KIVRO_TEST_LOG" || fail "no box"
  grep -m1 '^box|' "$KIVRO_TEST_LOG"
}

# Presses $1, waits until the output $3 is there (test $2: -s, -e), removes the folder $4 and
# fails unless the one box that follows is the removed box of the action $5 ("Packing" or
# "Unpacking").
remove_while_written() {
  local key="$1" written="$2" file="$3" folder="$4" action="$5"
  press_on_main "$key"
  wait_for 120 test "$written" "$file" || fail "$file is not written"
  rm -rf "$folder"
  [ "$(first_box)" = "box|Critical|OK|Tesma Kivro Pro|'$file' was removed while it was being written. $action aborted!|OK" ] \
    || fail "the action did not end with the removed box"
  sleep 1
  [ "$(boxes)" -eq 1 ] || fail "more boxes than the one"
}

trash_is_empty() {
  [ -z "$(ls -A "$XDG_DATA_HOME/Trash/files" 2>/dev/null)" ]
}

e2e_action_settings "$src" JbatNo
sed -i -e 's/^Delact=No$/Delact=NoPrompt/' -e 's/^tRate=fast$/tRate=slow/' -e 's/^cSize=4096$/cSize=20000000/' \
  -e 's/^sDir=wfile$/sDir=custom/' -e "s|^UnpackCustomDir=.*|UnpackCustomDir=$out/pieces|" \
  "$XDG_CONFIG_HOME/Tesma/Kivro.ini"
head -c 20000000 /dev/urandom > "$src/a.bin"
head -c 20000000 /dev/urandom > "$src/b.bin"
cat "$src/a.bin" "$src/b.bin" > "$tmp/joined.copy"
# The custom folder of part 2 exists from the start (a program started without it would choose
# another).
mkdir "$out/pieces"

# 1. Pack: the save-as folder goes once the copy has begun.
mkdir "$out/sub"
joined="$out/sub/j.bin"
printf '%s\n' "$joined" > "$KIVRO_TEST_ANSWERS"
start_slow_kivro "$src/a.bin|$src/b.bin"
remove_while_written ctrl+p -s "$joined" "$out/sub" Packing
cat "$src/a.bin" "$src/b.bin" | cmp -s - "$tmp/joined.copy" || fail "the sources changed"
trash_is_empty || fail "something went into the Trash"
# Idle again: the next pack makes the folder anew and writes the joined file.
press_on_main ctrl+p
wait_for 120 log_has "box|Information|OK|Tesma Kivro Pro|'$joined' successfully packed! Total filesize is 40,000,000 bytes.|OK" \
  || fail "no success box for the next pack"
cmp "$joined" "$tmp/joined.copy" || fail "the joined file differs"
stop_slow_kivro

# 2. Unpack into a custom folder (two pieces of 20,000,000 bytes): the folder goes once the last
#    piece is opened.
head -c 40000000 /dev/urandom > "$src/c.bin"
cp "$src/c.bin" "$tmp/c.copy"
printf '%s\n' "$tmp/unused" > "$KIVRO_TEST_ANSWERS"
start_slow_kivro "$src/c.bin"
remove_while_written ctrl+u -e "$out/pieces/c.bin.002" "$out/pieces" Unpacking
cmp "$src/c.bin" "$tmp/c.copy" || fail "the source of the unpack changed"
[ ! -e "$XDG_DATA_HOME/Trash/files/c.bin" ] || fail "the source of the unpack went into the Trash"
stop_slow_kivro
trap - EXIT
echo "PASS"
