#!/usr/bin/env bash
# The custom size dialog and the copyright stamp editor in the real kivro on an X server: a
# 1,000-byte file handed over on the command line; the custom size item opened from the Options
# picture, the percentage mode chosen, 50 typed and OK; the stamp editor opened, its text replaced
# by two lines and saved; Ctrl+U then cuts the file into two halves beside it with a join batch
# file that echoes the new stamp, and the settings file holds the percentage choice.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
e2e_prompt_files

save_dialog_answered() {
  grep -qF -- "dialog|Save Pack File As|$tmp/joined.bin" "$KIVRO_TEST_LOG"
}

head -c 1000 /dev/urandom > "$src/m.bin"

cat > "$XDG_CONFIG_HOME/Tesma/Kivro.ini" <<EOF2
[General]
tRate=normal
sSize=high
UnpkTyp=RAW
sDir=wfile
Jbat=Jbat
Delact=No
SaveTo=LastSaved
LastSavedDir=$tmp
StartupOpt=LastUsed
LastUsedDir=$src
Owrite=Prompt
MZip=Off
MCC=Off
Magnet=Off
CKivro=Off
BrovletXpos=0
BrovletYpos=0
ShowTod=0
fCheck=fPass
NoOfFilter=1

[Filter]
1=*.*

[FilterInfo]
1=All Files
EOF2

unpacked="box|Information|OK|Tesma Kivro Pro|1 file successfully unpacked!|OK"
printf '%s\n' "$tmp/joined.bin" OK > "$KIVRO_TEST_ANSWERS"

"$program_dir/kivro" "$src/m.bin" &
pid=$!
trap 'kill -9 "$pid" 2>/dev/null || true' EXIT

wait_for 60 has_window "Tesma Kivro Pro" || fail "no main window"
wait_for 60 has_window "Pack List" || fail "no pack-list window"
wait_for 60 save_dialog_answered || fail "no save dialog"

# Options picture, Preferences, Unpack Size, the custom item (the last of its menu).
focus "Tesma Kivro Pro"
click_in "Tesma Kivro Pro" 295 34
key f
key s
key Up
key Return
wait_for 60 has_window "Custom Unpack Size" || fail "no custom size dialog"
focus "Custom Unpack Size"
click_in "Custom Unpack Size" 60 125   # the percentage option
click_in "Custom Unpack Size" 252 125  # its box
xdotool type --delay 100 "50"
key Return
wait_for 60 no_window "Custom Unpack Size" || fail "the custom size dialog stays open"

# Options picture, Preferences, Join.bat, Copyright Stamping (the last of its menu).
focus "Tesma Kivro Pro"
click_in "Tesma Kivro Pro" 295 34
key f
key j
key Up
key Return
wait_for 60 has_window "Copyright Stamping" || fail "no copyright stamp editor"
focus "Copyright Stamping"
key ctrl+a
xdotool type --delay 100 "Copyright Bob"
key Return
xdotool type --delay 100 "x"
click_in "Copyright Stamping" 256 205  # Save
click_in "Copyright Stamping" 348 205  # Close
wait_for 60 no_window "Copyright Stamping" || fail "the stamp editor stays open"

focus "Tesma Kivro Pro"
key ctrl+u
wait_for 120 log_has "$unpacked" || fail "no success box after Ctrl+U"

[ "$(stat -c %s "$src/m.bin.001")" -eq 500 ] || fail "m.bin.001 is not 500 bytes"
[ "$(stat -c %s "$src/m.bin.002")" -eq 500 ] || fail "m.bin.002 is not 500 bytes"
[ ! -e "$src/m.bin.003" ] || fail "a third piece"
cat "$src/m.bin.001" "$src/m.bin.002" | cmp - "$src/m.bin" || fail "the pieces do not join to the file"
grep -qxF "sSize=custompfs" "$XDG_CONFIG_HOME/Tesma/Kivro.ini" || fail "sSize is not custompfs"
grep -qxF "cPfs=50" "$XDG_CONFIG_HOME/Tesma/Kivro.ini" || fail "cPfs is not 50"
printf 'Copyright Bob\r\nx\r\n' | cmp - "$XDG_DATA_HOME/Tesma/Kivro/cstmp.ctd" || fail "cstmp.ctd differs"
batch="$src/m.bin-JOIN.bat"
[ -f "$batch" ] || fail "no join batch file"
[ "$(sed -n 2p "$batch")" = $'@echo Copyright Bob\r' ] || fail "batch line 2: $(sed -n 2p "$batch")"
[ "$(sed -n 3p "$batch")" = $'@echo x\r' ] || fail "batch line 3: $(sed -n 3p "$batch")"
[ "$(sed -n 4p "$batch")" = $'@echo -------------\r' ] || fail "batch line 4: $(sed -n 4p "$batch")"

e2e_end_kivro "$pid"
log_prompt_count_is 2 || fail "unexpected log lines"
echo "PASS"
