#!/usr/bin/env bash
# The pack-list window's pictures on a real X server: three files handed off as the collector
# does, Sort Descending and Save clicked at their places write a pack-list file with the three
# paths in descending order; Clear and Load clicked bring them back, and Ctrl+P joins them in
# that order.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
e2e_prompt_files

at_place() {
  [[ "$(xdotool getwindowgeometry "$1" 2>/dev/null)" == *"Position: $2 "* ]]
}

# Clicks a picture of the pack-list window at the middle of its place on the skin (the skin lies
# 3 pixels right of and 22 pixels below the window's corner).
click_picture() {
  local x=$(($2 + 3)) y=$(($3 + 22))
  xdotool mousemove --window "$1" "$x" "$y" click 1
}

head -c 1000 /dev/urandom > "$src/b.mpg"
head -c 2000 /dev/urandom > "$src/c.mpg"
head -c 3000 /dev/urandom > "$src/a.mpg"

cat > "$XDG_CONFIG_HOME/Tesma/Kivro.ini" <<INI
[General]
Owrite=NoPrompt
MCC=Off
MZip=Off
Magnet=Off
Delact=No
Jbat=JbatNo
BrovletXpos=9000
BrovletYpos=1500
ShowTod=0
INI

joined="$out/joined.mpg"
list="$out/the list.qvt"
packed="box|Information|OK|Tesma Kivro Pro|'$joined' successfully packed! Total filesize is 6,000 bytes.|OK"
printf '%s\n' "$joined" "$list" "$list" OK > "$KIVRO_TEST_ANSWERS"

"$program_dir/kivro" "$src/b.mpg|$src/c.mpg|$src/a.mpg" &
pid=$!
trap 'kill -9 "$pid" 2>/dev/null || true' EXIT

wait_for 60 has_window "Tesma Kivro Pro" || fail "no main window"
wait_for 60 has_window "Pack List" || fail "no pack-list window"
packlist="$(window_id "Pack List")"
wait_for 60 grep -q "^dialog|Save Pack File As|$joined" "$KIVRO_TEST_LOG" || fail "no save-as dialog"
wait_for 60 at_place "$packlist" "600,100" || fail "pack-list window not at its place"

# Sort Descending (126, 242, 18 x 18), then Save (98, 3, 42 x 18).
click_picture "$packlist" 135 251
click_picture "$packlist" 119 12
wait_for 60 test -s "$list" || fail "no pack-list file"
grep -q "^dialog|Save Pack List As|$list" "$KIVRO_TEST_LOG" || fail "no Save Pack List As dialog"
expected="$(printf '%s\r\n' "$src/c.mpg" "$src/b.mpg" "$src/a.mpg")"
[ "$(cat "$list")" = "$expected" ] || fail "pack-list file: $(od -c "$list" | head -20)"
[ "$(tail -c 2 "$list" | od -An -c | tr -d ' ')" = '\r\n' ] || fail "the last line does not end in CR LF"

# Clear (244, 3, 44 x 18), then Load (142, 3, 42 x 18) with that file, then Ctrl+P.
click_picture "$packlist" 266 12
click_picture "$packlist" 163 12
wait_for 60 log_has "dialog|Load which Pack List?|$list" || fail "no Load which Pack List? dialog"
focus_window "Tesma Kivro Pro"
xdotool key --clearmodifiers ctrl+p
wait_for 120 log_has "$packed" || fail "no success box after Ctrl+P"
cat "$src/c.mpg" "$src/b.mpg" "$src/a.mpg" | cmp - "$joined" || fail "the joined file is not c, b, a in that order"

e2e_end_kivro "$pid"
log_box_count_is 1 || fail "unexpected boxes"
echo "PASS"
