#!/usr/bin/env bash
# "Pack it..." from a file manager, through the real programs on an X server: kivro with the verb
# switched on writes its file-manager entries; the KDE service menu's Exec line, run as Dolphin
# runs it with %F in place of two chosen MPEG files, starts one collector brovlet, which starts the
# real kivro with both; kivro holds both in its pack list and asks "Save Pack File As"; Ctrl+P then
# joins them byte for byte in that order.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
data="$(cd "$(dirname "$0")/../engine/data" && pwd)"
src="$tmp/my videos"
mkdir -p "$src"
cp "$data/mpeg1_352x240_29.97.mpg" "$src/first part.mpg"
cp "$data/mpeg2_640x480_23.976.mpg" "$src/second.mpg"
e2e_prompt_files
: > "$KIVRO_TEST_ANSWERS"
list="$XDG_RUNTIME_DIR/tesma-kivro/brovlet.tmp"
kivro_pid=""
collector=""
cleanup() {
  [ -z "$kivro_pid" ] || kill -9 "$kivro_pid" 2>/dev/null || true
}
trap cleanup EXIT

cat > "$XDG_CONFIG_HOME/Tesma/Kivro.ini" <<INI
[General]
CKivro=On
ShowTod=0
MCC=Off
MZip=Off
Delact=No
Owrite=Prompt
SaveTo=LastSaved
LastSavedDir=$tmp/out
StartupOpt=LastUsed
LastUsedDir=$src
INI

# 1. kivro applies the stored choice at its start and writes the entries.
"$program_dir/kivro" &
kivro_pid=$!
wait_for 60 has_window "Tesma Kivro Pro" || fail "no main window"
menu="$XDG_DATA_HOME/kio/servicemenus/tesma-kivro-packit.desktop"
wait_for 60 test -f "$menu" || fail "no service menu written"
wait_for 60 test -x "$XDG_DATA_HOME/nautilus/scripts/Pack it..." || fail "no Nautilus script written"
kill -TERM "$kivro_pid"
rc=0
wait "$kivro_pid" || rc=$?
kivro_pid=""
[ "$rc" -eq 0 ] || fail "kivro ended with $rc"

# 2. The Exec line as Dolphin reads it: the quoted program, then "--each" and %F for the files.
exec_line="$(sed -n 's/^Exec=//p' "$menu")"
[[ "$exec_line" == *' --each %F' ]] || fail "Exec does not end in --each %F: $exec_line"
quoted="$(printf '%s' "${exec_line% --each %F}" | sed -e 's/%%/%/g' -e 's/\\\\/\\/g')"
[ "${quoted:0:1}" = '"' ] && [ "${quoted: -1}" = '"' ] || fail "Exec program not quoted: $exec_line"
program="$(printf '%s' "${quoted:1:${#quoted}-2}" | sed -e 's/\\\([\\"`$]\)/\1/g')"
[ "$program" = "$(cd "$program_dir" && pwd)/brovlet" ] || fail "Exec names '$program'"

joined="$tmp/out/joined.mpg"
printf '%s\n' "$joined" OK > "$KIVRO_TEST_ANSWERS"
"$program" --each "$src/first part.mpg" "$src/second.mpg" &
collector=$!

# 3. The real kivro holds both files and asks for the save-as file.
wait_for 60 has_window "Tesma Kivro Pro" || fail "no main window after Pack it..."
rc=0
wait "$collector" || rc=$?
collector=""
[ "$rc" -eq 0 ] || fail "the collector ended with $rc"
[ ! -e "$list" ] || fail "the list is still there"
main="$(window_id "Tesma Kivro Pro")"
kivro_pid="$(xdotool getwindowpid "$main")"
expect_save_dialog_first "$joined"

# Ctrl+P joins what the pack list holds: both files, in the order they were chosen.
focus_window "Tesma Kivro Pro"
xdotool key --clearmodifiers ctrl+p
packed="box|Information|OK|Tesma Kivro Pro|'$joined' successfully packed! Total filesize is 141,312 bytes.|OK"
wait_for 120 log_has "$packed" || fail "no success box after Ctrl+P"
cat "$src/first part.mpg" "$src/second.mpg" | cmp - "$joined" || fail "the joined file differs from the two files"

kill -TERM "$kivro_pid"
for _ in $(seq 1 600); do
  kill -0 "$kivro_pid" 2>/dev/null || break
  sleep 0.1
done
! kill -0 "$kivro_pid" 2>/dev/null || fail "kivro did not end"
kivro_pid=""
log_prompt_count_is 2 || fail "unexpected log lines"
echo "PASS"
