#!/usr/bin/env bash
# The pack-list window dragged under a real pointer: released right of the main window it snaps
# against it while Magnet is on, a drag of the main window then carries it along, released below
# the main window it snaps under it, and the settings keep its last place in twips. With Magnet
# off it stays where it is released and the main window's drag leaves it there; a right-button
# press on its caption drags it too.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
e2e_prompt_files
: > "$KIVRO_TEST_ANSWERS"
ini="$XDG_CONFIG_HOME/Tesma/Kivro.ini"

# The main window (540 x 334) starts in the middle of the 1280 x 1024 screen; the pack-list
# window starts 800 pixels right of and 100 below its corner M.
mx=$(((1280 - 540) / 2))
my=$(((1024 - 334) / 2))

position() {
  xdotool getwindowgeometry "$1" 2>/dev/null | sed -n 's/^ *Position: \([-0-9]*\),\([-0-9]*\).*/\1 \2/p'
}

at_place() {
  [ "$(position "$1")" = "$2 $3" ]
}

# Presses button $1 at ($2, $3) on the screen, moves the pointer by ($4, $5) in two steps and
# releases it there.
drag() {
  xdotool mousemove "$2" "$3"
  sleep 0.3
  xdotool mousedown "$1"
  sleep 0.3
  xdotool mousemove "$(($2 + $4 / 2))" "$(($3 + $5 / 2))"
  sleep 0.3
  xdotool mousemove "$(($2 + $4))" "$(($3 + $5))"
  sleep 0.3
  xdotool mouseup "$1"
  sleep 0.3
}

start_program() {
  cat > "$ini" <<INI
[General]
Magnet=$1
MCC=Off
ShowTod=0
BrovletXpos=$(((mx + 800) * 15))
BrovletYpos=$(((my + 100) * 15))
INI
  "$program_dir/kivro" &
  pid=$!
  trap 'kill -9 "$pid" 2>/dev/null || true' EXIT
  wait_for 60 has_window "Tesma Kivro Pro" || fail "no main window"
  wait_for 60 has_window "Pack List" || fail "no pack-list window"
  main="$(window_id "Tesma Kivro Pro")"
  packlist="$(window_id "Pack List")"
  wait_for 60 at_place "$main" "$mx" "$my" || fail "main window at $(position "$main"), not centred"
  wait_for 60 at_place "$packlist" "$((mx + 800))" "$((my + 100))" || fail "pack list at $(position "$packlist")"
  sleep 0.5
}

stop_program() {
  e2e_end_kivro "$pid"
}

# --- Magnet on -----------------------------------------------------------------------------------
start_program On
# The background between Remove and Select All (skin point 33, 250; the skin lies 3 pixels right
# of and 22 below the window's corner), dragged until the window's corner is at M + (560, 100).
drag 1 $((mx + 800 + 36)) $((my + 100 + 272)) -240 0
wait_for 30 at_place "$packlist" "$((mx + 534))" "$((my + 100))" ||
  fail "released at M + (560, 100): at $(position "$packlist"), not M + (534, 100)"

# The main window's background (skin point 480, 120), dragged by (40, 30): the docked pack list
# comes along.
drag 1 $((mx + 483)) $((my + 142)) 40 30
mx=$((mx + 40))
my=$((my + 30))
wait_for 30 at_place "$main" "$mx" "$my" || fail "main window at $(position "$main") after its drag"
wait_for 30 at_place "$packlist" "$((mx + 534))" "$((my + 100))" ||
  fail "the docked pack list was not carried along: at $(position "$packlist")"

# Its background (skin point 200, 250), dragged until its corner is at M + (100, 360).
drag 1 $((mx + 534 + 203)) $((my + 100 + 272)) -434 260
wait_for 30 at_place "$packlist" "$((mx + 100))" "$((my + 309))" ||
  fail "released at M + (100, 360): at $(position "$packlist"), not M + (100, 309)"
stop_program
grep -qx "BrovletXpos=$(((mx + 100) * 15))" "$ini" || fail "BrovletXpos: $(grep -i brovlet "$ini" || echo none)"
grep -qx "BrovletYpos=$(((my + 309) * 15))" "$ini" || fail "BrovletYpos: $(grep -i brovlet "$ini" || echo none)"

# --- Magnet off ----------------------------------------------------------------------------------
mx=$(((1280 - 540) / 2))
my=$(((1024 - 334) / 2))
start_program Off
drag 1 $((mx + 800 + 36)) $((my + 100 + 272)) -240 0
wait_for 30 at_place "$packlist" "$((mx + 560))" "$((my + 100))" ||
  fail "Magnet off: at $(position "$packlist"), not where it was released"
drag 1 $((mx + 483)) $((my + 142)) 40 30
wait_for 30 at_place "$main" "$((mx + 40))" "$((my + 30))" || fail "main window at $(position "$main") after its drag"
sleep 0.5
at_place "$packlist" "$((mx + 560))" "$((my + 100))" || fail "Magnet off: the main window's drag moved it"

# A right-button press on the caption (skin point 40, 10) drags it too.
drag 3 $((mx + 560 + 43)) $((my + 100 + 32)) -100 50
wait_for 30 at_place "$packlist" "$((mx + 460))" "$((my + 150))" ||
  fail "right-button drag on the caption: at $(position "$packlist")"
stop_program

[ ! -s "$KIVRO_TEST_LOG" ] || fail "unexpected boxes: $(cat "$KIVRO_TEST_LOG")"
echo "PASS"
