#!/usr/bin/env bash
# The real kivro on an X server, started without QT_QPA_PLATFORM as from a desktop menu: it comes
# up on X11 with its program icon, shows the main window "Tesma Kivro Pro" and the tip window it
# owns, and the pack-list window "Pack List", shows no box; when the system asks it to close it
# stores the pack-list window's place in whole twips, ends with status 0 and releases its
# single-instance lock.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
export KIVRO_TEST_LOG="$tmp/log" KIVRO_TEST_ANSWERS="$tmp/answers"
: > "$KIVRO_TEST_ANSWERS"
unset QT_QPA_PLATFORM

fail() { echo "FAIL: $*" >&2; exit 1; }

"$program_dir/kivro" &
pid=$!
trap 'kill -9 "$pid" 2>/dev/null || true' EXIT

main="$(wait_window "Tesma Kivro Pro")" || fail "no main window"
tip="$(wait_window "Tesma Kivro Tip of the Day")" || fail "no tip window"
xprop -id "$tip" WM_TRANSIENT_FOR | grep -q "$(printf '0x%x' "$main")" || fail "tip window not owned by the main window"
packlist="$(wait_window "Pack List")" || fail "no pack-list window"
xprop -id "$packlist" WM_TRANSIENT_FOR | grep -q "$(printf '0x%x' "$main")" || fail "pack-list window not owned by the main window"
xprop -id "$main" WM_CLASS | grep -q '"kivro", "kivro"' || fail "unexpected WM_CLASS: $(xprop -id "$main" WM_CLASS)"
# The icon may be set a moment after the window is mapped.
icon_ok=0
for _ in $(seq 1 50); do
  if xprop -id "$main" _NET_WM_ICON 2>/dev/null | grep -q "Icon (32 x 32)"; then icon_ok=1; break; fi
  sleep 0.1
done
[ "$icon_ok" -eq 1 ] || fail "no program icon"
[ -e "$XDG_RUNTIME_DIR/tesma-kivro/kivro.lock" ] || fail "no single-instance lock"

xdotool windowmove "$packlist" 400 300
for _ in $(seq 1 50); do
  xdotool getwindowgeometry "$packlist" | grep -q "Position: 400,300" && break
  sleep 0.1
done
sleep 0.3

e2e_end_kivro "$pid" " after a close asked by the system"
[ ! -e "$XDG_RUNTIME_DIR/tesma-kivro/kivro.lock" ] || fail "lock left behind"
ini="$XDG_CONFIG_HOME/Tesma/Kivro.ini"
grep -qx 'BrovletXpos=6000' "$ini" || fail "BrovletXpos: $(grep -i brovlet "$ini" || echo none)"
grep -qx 'BrovletYpos=4500' "$ini" || fail "BrovletYpos: $(grep -i brovlet "$ini" || echo none)"
[ ! -s "$KIVRO_TEST_LOG" ] || fail "unexpected boxes: $(cat "$KIVRO_TEST_LOG")"
echo "PASS"
