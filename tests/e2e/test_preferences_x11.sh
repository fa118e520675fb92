#!/usr/bin/env bash
# The preferences window in the real kivro on an X server: Ctrl+K opens it; Alt+N five times
# pages to "Save"; its combo, clicked at its place, is set to "Custom Directory..." with
# the keys, which runs the folder chooser (answered by the script); Alt+O stores the choice.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
e2e_prompt_files
old="$tmp/old"
new="$tmp/new folder"
mkdir -p "$old" "$new"

cat > "$XDG_CONFIG_HOME/Tesma/Kivro.ini" <<EOF2
[General]
SaveTo=LastSaved
SaveCustomDir=$old
LastSavedDir=$tmp
StartupOpt=LastUsed
LastUsedDir=$tmp
Magnet=Off
CKivro=Off
ShowTod=0
fCheck=fPass
NoOfFilter=1

[Filter]
1=*.*

[FilterInfo]
1=All Files
EOF2
printf '%s\n' "$new" > "$KIVRO_TEST_ANSWERS"

"$program_dir/kivro" &
pid=$!
trap 'kill -9 "$pid" 2>/dev/null || true' EXIT

wait_for 60 has_window "Tesma Kivro Pro" || fail "no main window"
focus "Tesma Kivro Pro"
key ctrl+k
wait_for 60 has_window "Preferences" || fail "Ctrl+K opens no preferences window"
focus "Preferences"
for _ in 1 2 3 4 5; do
  key alt+n
done
# The Save page's combo covers row 4 of the grid: 2,220 twips from the left, 1,980 from the top
# of the window's inside (148 and 132 pixels), 2,415 wide.
click_in "Preferences" 200 139
key Home
key Return
wait_for 60 log_has "dialog|Save As Directory: $old|$new" || fail "no folder chooser from the Save page"
focus "Preferences"
key alt+o
wait_for 60 no_window "Preferences" || fail "OK leaves the window open"
ini="$XDG_CONFIG_HOME/Tesma/Kivro.ini"
wait_for 30 grep -qxF "SaveTo=Custom" "$ini" || fail "SaveTo is not Custom"
grep -qxF "SaveCustomDir=$new" "$ini" || fail "SaveCustomDir is not the new folder"

e2e_end_kivro "$pid"
log_prompt_count_is 1 || fail "unexpected log lines"
echo "PASS"
