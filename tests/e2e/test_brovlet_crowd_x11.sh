#!/usr/bin/env bash
# The real collector brovlet on a crowded X server, beside a stand-in kivro that records every
# start: 300 copies started at once on a server with 8 client slots left; the same 300 paths
# through the KDE entry as kivro writes it; copies without a display; a runtime folder made by
# another user; a name that is not UTF-8.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
E2E_XVFB_ARGS="-maxclients 64" e2e_x11_test "$0" "$@"
unset KIVRO_TEST_ANSWERS KIVRO_TEST_LOG

spies=()
cleanup() {
  local p
  for p in "${spies[@]}"; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

# The program folder: the real brovlet beside a kivro that writes its arguments, one a line after
# their count, to a file of its own in $calls.
prog="$tmp/prog"
calls="$tmp/calls"
mkdir -p "$prog" "$calls"
cp "$program_dir/brovlet" "$prog/brovlet"
cat > "$prog/kivro" <<EOF
#!/bin/sh
t=\$(mktemp "$calls/.part.XXXXXX") || exit 1
printf '%s\n' "\$#" "\$@" > "\$t"
mv "\$t" "$calls/call.\${t##*/.part.}"
EOF
chmod 755 "$prog/kivro"
list="$XDG_RUNTIME_DIR/tesma-kivro/brovlet.tmp"

# Waits until every collector copy has ended (none is left waiting to hand over).
collectors_ended() {
  ! pgrep -f "^$prog/brovlet" > /dev/null
}

# Checks that kivro was started once, with exactly the paths of the file $1 (one a line) joined
# by "|" in any order, and empties the calls.
expect_one_start_with() {
  wait_for 120 collectors_ended || fail "a collector is still running"
  local n
  n="$(find "$calls" -name 'call.*' | wc -l)"
  [ "$n" -eq 1 ] || fail "kivro was started $n times"
  local call
  call="$(find "$calls" -name 'call.*')"
  [ "$(sed -n 1p "$call")" = 1 ] || fail "kivro got $(sed -n 1p "$call") arguments"
  sed -n 2p "$call" | tr '|' '\n' | sort > "$tmp/handed"
  sort "$1" > "$tmp/wanted"
  cmp -s "$tmp/handed" "$tmp/wanted" || {
    diff "$tmp/wanted" "$tmp/handed" | head -20 >&2
    fail "the paths handed over differ: $(sort "$tmp/handed" | uniq -d | wc -l) doubled, $(comm -23 "$tmp/wanted" "$tmp/handed" | wc -l) lost"
  }
  rm -f "$calls"/call.*
  [ ! -e "$list" ] || fail "the list is still there"
}

# 56 other clients, one xprop each: 8 of the server's 64 slots are left.
for _ in $(seq 1 56); do
  xprop -root -spy > /dev/null 2>&1 &
  spies+=($!)
done
sleep 2
for p in "${spies[@]}"; do
  kill -0 "$p" 2>/dev/null || fail "an xprop could not connect"
done

# 1. 300 copies at once, one path each: one kivro start with all 300, every copy status 0.
seq -f "/choice/file %03g.mpg" 1 300 > "$tmp/paths"
pids=()
while IFS= read -r path; do
  "$prog/brovlet" "$path" 2>> "$tmp/stderr" &
  pids+=($!)
done < "$tmp/paths"
bad=0
for p in "${pids[@]}"; do
  wait "$p" || bad=$((bad + 1))
done
[ "$bad" -eq 0 ] || fail "$bad copies ended with a status other than 0: $(sort -u "$tmp/stderr" | head -3)"
expect_one_start_with "$tmp/paths"
[ ! -s "$tmp/stderr" ] || fail "the copies wrote: $(head -3 "$tmp/stderr")"

# 2. The same 300 paths through the KDE entry's Exec line as kivro writes it: the quoted program,
# "--each" and %F, which the file manager replaces with every chosen file.
cat > "$XDG_CONFIG_HOME/Tesma/Kivro.ini" <<INI
[General]
CKivro=On
ShowTod=0
INI
menu="$XDG_DATA_HOME/kio/servicemenus/tesma-kivro-packit.desktop"
KIVRO_TEST_ANSWERS=/dev/null "$program_dir/kivro" &
kivro_pid=$!
wait_for 120 test -f "$menu" || fail "kivro wrote no service menu"
kill -TERM "$kivro_pid"
wait "$kivro_pid" || true
exec_line="$(sed -n 's/^Exec=//p' "$menu")"
[[ "$exec_line" == *' --each %F' ]] || fail "Exec does not end in --each %F: $exec_line"
quoted="$(printf '%s' "${exec_line% --each %F}" | sed -e 's/%%/%/g' -e 's/\\\\/\\/g')"
[ "${quoted:0:1}" = '"' ] && [ "${quoted: -1}" = '"' ] || fail "Exec program not quoted: $exec_line"
entry="$(printf '%s' "${quoted:1:${#quoted}-2}" | sed -e 's/\\\([\\"`$]\)/\1/g')"
[ "$entry" = "$(cd "$program_dir" && pwd)/brovlet" ] || fail "Exec names '$entry'"
# The entry's command on the copy beside the stand-in kivro.
mapfile -t chosen < "$tmp/paths"
"$prog/brovlet" --each "${chosen[@]}" || fail "the KDE entry's copy ended with $?"
expect_one_start_with "$tmp/paths"

# 3. No display for a later copy: it adds its path all the same and ends with status 0. No
# display for the first copy: its line on standard error, status 1, nothing added; the next
# copy collects.
printf '%s\n' "/later/a.mpg" "/later/b.mpg" > "$tmp/paths"
"$prog/brovlet" "/later/a.mpg" &
first=$!
wait_for 60 test -s "$list" || fail "the first copy added nothing"
env -u DISPLAY "$prog/brovlet" "/later/b.mpg" || fail "a later copy without a display ended with $?"
wait "$first" || fail "the first copy ended with $?"
expect_one_start_with "$tmp/paths"

rc=0
env -u DISPLAY "$prog/brovlet" "/first/no display.mpg" 2> "$tmp/stderr" || rc=$?
[ "$rc" -eq 1 ] || fail "a first copy without a display ended with $rc"
[ "$(cat "$tmp/stderr")" = "brovlet: no display could be opened; '/first/no display.mpg' was not handed over." ] ||
  fail "stderr: $(cat "$tmp/stderr")"
[ ! -s "$list" ] || fail "the copy without a display added its path"
printf '%s\n' "/first/next.mpg" > "$tmp/paths"
"$prog/brovlet" "/first/next.mpg" || fail "the next copy ended with $?"
expect_one_start_with "$tmp/paths"

# 4. A name that is not UTF-8 (Latin-1 "é") between two good ones: its box, the two handed over.
export KIVRO_TEST_ANSWERS="$tmp/answers" KIVRO_TEST_LOG="$tmp/log"
: > "$KIVRO_TEST_ANSWERS"
: > "$KIVRO_TEST_LOG"
printf '%s\n' "/latin/good one.mpg" "/latin/good two.mpg" > "$tmp/paths"
"$prog/brovlet" --each "/latin/good one.mpg" "$(printf '/latin/caf\351.mpg')" "/latin/good two.mpg" ||
  fail "the copy ended with $?"
expect_one_start_with "$tmp/paths"
grep -E '^(box|dialog)\|' "$KIVRO_TEST_LOG" > "$tmp/boxes" || true
[ "$(cat "$tmp/boxes")" = "box|Exclamation|OK|Tesma Kivro|The file '/latin/caf"$'\xef\xbf\xbd'".mpg' was skipped: its path holds bytes that are not UTF-8, which cannot be handed over to Tesma Kivro Pro.|OK" ] ||
  fail "boxes: $(cat "$tmp/boxes")"

# 5. Without XDG_RUNTIME_DIR the list would go to tesma-kivro-<uid> in the temporary folder. A
# user who made that folder first, open to all and with a list of their own in it, gets nothing
# through it: nothing of theirs reaches kivro, nothing is written there, and the box says why.
if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: the folder of another user needs root to run two users"
  echo "PASS"
  exit 0
fi
shared="$tmp/shared"
mkdir -p "$shared"
chmod 1777 "$shared"
chmod 755 "$tmp"
chmod 1777 "$calls"
: > "$KIVRO_TEST_LOG"
chmod 666 "$KIVRO_TEST_LOG" "$KIVRO_TEST_ANSWERS"
other=64101
victim=64102
as_user() {
  local uid="$1"
  shift
  setpriv --reuid="$uid" --regid="$uid" --clear-groups env -u XDG_RUNTIME_DIR TMPDIR="$shared" HOME="$shared" "$@"
}
planted="$shared/tesma-kivro-$victim"
as_user "$other" sh -c 'mkdir -m 777 "$1" && chmod 777 "$1" && printf "/planted/x.mpg\r\n" > "$1/brovlet.tmp"' sh "$planted" ||
  fail "the other user could not make the folder"
before="$(cd "$planted" && ls -la --time-style=+%s)"
rc=0
as_user "$victim" "$prog/brovlet" "/victim/a.mpg" || rc=$?
[ "$rc" -eq 1 ] || fail "the copy in another's folder ended with $rc"
wait_for 30 collectors_ended || fail "a collector is still running"
[ -z "$(find "$calls" -name 'call.*')" ] || fail "kivro was started: $(cat "$calls"/call.*)"
[ "$(cd "$planted" && ls -la --time-style=+%s)" = "$before" ] || fail "something was written into $planted"
[ "$(cat "$planted/brovlet.tmp")" = $'/planted/x.mpg\r' ] || fail "the planted list changed"
grep -E '^(box|dialog)\|' "$KIVRO_TEST_LOG" > "$tmp/boxes" || true
[ "$(cat "$tmp/boxes")" = "box|Critical|OK|Tesma Kivro|'$planted' belongs to someone else or is open to others; the chosen files cannot be collected safely.|OK" ] ||
  fail "boxes: $(cat "$tmp/boxes")"
echo "PASS"
