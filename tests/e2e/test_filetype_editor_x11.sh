#!/usr/bin/env bash
# The file-type filter editor in the real kivro on an X server: opened from the Options picture,
# "Video" with "*.avi,*.vob" added, moved to the top with keypad minus and the window closed
# through its close box (a WM_DELETE_WINDOW message). The settings file then holds the new
# filter first and the three defaults after it, and no box was shown.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
: > "$src/a.avi"
: > "$src/b.vob"
: > "$src/c.mpg"
e2e_prompt_files
: > "$KIVRO_TEST_ANSWERS"
ini="$XDG_CONFIG_HOME/Tesma/Kivro.ini"

cat > "$ini" <<EOF2
[General]
StartupOpt=LastUsed
LastUsedDir=$src
Magnet=Off
BrovletXpos=0
BrovletYpos=0
ShowTod=0
fCheck=fPass
NoOfFilter=3

[Filter]
1=*.mpg,*.mpeg,*.mpe
2=*.mp3
3=*.*

[FilterInfo]
1=Mpeg
2=Mp3
3=All Files
EOF2

# The "name=value" lines of one group of the settings file.
group() {
  awk -v g="[$1]" '/^\[/ { inside = ($0 == g); next } inside && NF' "$ini"
}

"$program_dir/kivro" &
pid=$!
trap 'kill -9 "$pid" 2>/dev/null || true' EXIT

wait_for 60 has_window "Tesma Kivro Pro" || fail "no main window"

# Options picture, Preferences, Custom FileType.
focus "Tesma Kivro Pro"
click_in "Tesma Kivro Pro" 295 34
key f
key y
focus "Custom File Filter"
# The description box has the keyboard; Tab selects the whole hint in the pattern box.
xdotool type --delay 100 "Video"
key Tab
xdotool type --delay 100 "*.avi,*.vob"
click_in "Custom File Filter" 392 35     # add
click_in "Custom File Filter" 60 134     # the first filter
key End                                  # the new, last one alone
key KP_Subtract
key KP_Subtract
key KP_Subtract
close_window "Custom File Filter"
wait_for 60 no_window "Custom File Filter" || fail "the editor stays open"

expected_filter=$'1=*.avi,*.vob\n2=*.mpg,*.mpeg,*.mpe\n3=*.mp3\n4=*.*'
expected_info=$'1=Video\n2=Mpeg\n3=Mp3\n4=All Files'
[ "$(group Filter)" = "$expected_filter" ] || fail "[Filter] holds: $(group Filter)"
[ "$(group FilterInfo)" = "$expected_info" ] || fail "[FilterInfo] holds: $(group FilterInfo)"
grep -qxF "NoOfFilter=4" "$ini" || fail "NoOfFilter is not 4"
[ ! -s "$KIVRO_TEST_LOG" ] || fail "a box was shown"

e2e_end_kivro "$pid"
echo "PASS"
