#!/usr/bin/env bash
# The about box and the technical support box in the real kivro on an X server: the Help picture,
# then "a", opens the about box; Alt+S there, with no system-information viewer on the program's
# PATH, gives the "unavailable" box; Enter closes the about box. The Help picture, then "s", opens
# the support box, and Esc closes it.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
e2e_prompt_files
echo OK > "$KIVRO_TEST_ANSWERS"
mkdir -p "$tmp/bin"

focus() {
  wait_for 60 has_window "$1" || fail "no window '$1'"
  focus_window "$1"
}

key() {
  xdotool key --clearmodifiers "$@"
  sleep 0.2
}

# The Help picture of the main window's title bar.
click_help() {
  local id
  id="$(window_id "Tesma Kivro Pro")"
  [ -n "$id" ] || fail "no main window"
  xdotool mousemove --window "$id" 349 34
  sleep 0.2
  xdotool click 1
  sleep 0.2
}

cat > "$XDG_CONFIG_HOME/Tesma/Kivro.ini" <<EOF2
[General]
ShowTod=0
EOF2

unavailable="box|None|OK|Tesma Kivro Pro|System Information Is Unavailable At This Time|OK"

# The program's PATH holds no system-information viewer.
PATH="$tmp/bin" "$program_dir/kivro" &
pid=$!
trap 'kill -9 "$pid" 2>/dev/null || true' EXIT

wait_for 60 has_window "Tesma Kivro Pro" || fail "no main window"

focus "Tesma Kivro Pro"
click_help
key a
focus "About Tesma Kivro Pro"
key alt+s
wait_for 60 log_has "$unavailable" || fail "no 'unavailable' box after Alt+S"
has_window "About Tesma Kivro Pro" || fail "the about box closed with System Info"
focus "About Tesma Kivro Pro"
key Return
wait_for 60 no_window "About Tesma Kivro Pro" || fail "Enter does not close the about box"

focus "Tesma Kivro Pro"
click_help
key s
focus "Tesma Kivro Technical Support"
key Escape
wait_for 60 no_window "Tesma Kivro Technical Support" || fail "Esc does not close the support box"

e2e_end_kivro "$pid"
log_prompt_count_is 1 || fail "unexpected log lines"
echo "PASS"
