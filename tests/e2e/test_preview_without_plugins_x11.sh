#!/usr/bin/env bash
# The preview of the real kivro on an X server whose media framework finds none of its plugins
# (a minimal install has the libraries only): ticking Preview with an AVI chosen, choosing an MPEG
# file, and Preview off and on again each leave the pane empty with "Not Available" under it, and
# no box comes up. Pack then joins two files byte for byte, Qt's media backend has never been
# loaded, and the Close picture ends kivro with status 0.
set -Eeuo pipefail
# Where the script itself died, for a run that ends without a failed check.
trap 'echo "died at line $LINENO (${FUNCNAME[*]:-main}): $BASH_COMMAND" >&2' ERR
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
e2e_prompt_files

# No plugins where the framework looks for them, and a registry of its own that knows none.
mkdir -p "$tmp/no plugins"
export GST_PLUGIN_SYSTEM_PATH_1_0="$tmp/no plugins" GST_PLUGIN_PATH_1_0="$tmp/no plugins"
export GST_REGISTRY_1_0="$tmp/registry.bin"

data="$(cd "$(dirname "$0")/../preview/data" && pwd)"
media="$tmp/media"
mkdir -p "$media"
cp "$data/clip_mjpeg_320x240_25.avi" "$media/a.avi"
cp "$data/clip_mpeg1_320x240_25.mpg" "$media/b.mpg"
head -c 10000 /dev/urandom > "$src/p.bin"
head -c 7000 /dev/urandom > "$src/q.bin"

# The browser in the media folder with every file listed (a.avi first, so it is the chosen one);
# the pack-list window in the top left corner, clear of the main window in the middle.
e2e_action_settings "$media" JbatNo
sed -i -e 's/^1=\*\.mpg,\*\.mpeg,\*\.mpe$/1=*.*/' -e 's/^3=\*\.\*$/3=*.mpg,*.mpeg,*.mpe/' \
  -e 's/^1=Mpeg$/1=All Files/' -e 's/^3=All Files$/3=Mpeg/' \
  -e 's/^BrovletXpos=.*/BrovletXpos=0/' -e 's/^BrovletYpos=.*/BrovletYpos=0/' "$XDG_CONFIG_HOME/Tesma/Kivro.ini"
joined="$out/joined.bin"
packed="box|Information|OK|Tesma Kivro Pro|'$joined' successfully packed! Total filesize is 17,000 bytes.|OK"
printf '%s\n' "$joined" OK > "$KIVRO_TEST_ANSWERS"

"$program_dir/kivro" "$src/p.bin|$src/q.bin" &
pid=$!
trap 'kill -9 "$pid" 2>/dev/null || true' EXIT
wait_for 60 has_window "Pack List" || fail "no pack-list window"
expect_save_dialog_first "$joined"
main="$(window_id "Tesma Kivro Pro")"

# Digests of places of the main window on the screen: the preview pane and the two information
# labels under "More Info...", the picture size and the frame rate.
grab() {
  local x y
  eval "$(xdotool getwindowgeometry --shell "$main")"
  x="$X" y="$Y"
  e2e_python - "$x" "$y" <<'PY'
import hashlib
import sys

from xscreen import pixels

wx, wy = int(sys.argv[1]), int(sys.argv[2])


def digest(left, top, width, height):
    values = ",".join(str(p) for p in pixels(wx + left, wy + top, width, height))
    return hashlib.sha1(values.encode()).hexdigest()[:12]


# The pane (124 x 87 at 296, 65), the size label and the rate label (84 x 14 at 442, 62 and 82).
print(digest(296, 65, 124, 87), digest(442, 62, 84, 14), digest(442, 82, 84, 14))
PY
}

# The pane as it is before any file is opened, and the labels, empty until a file is opened. After
# each step the pane looks as it did, and both labels show one same text that is not empty: the
# text of the first step (a.avi has no MPEG header: "Not Available" under any open), which the
# size and the rate of an MPEG file never are both.
read -r empty_pane empty_label _ <<< "$(grab)"
not_available=""
shows_failed_open() {
  local pane size rate
  kill -0 "$pid" 2>/dev/null || fail "$step: kivro is gone"
  read -r pane size rate <<< "$(grab)"
  [ "$pane" = "$empty_pane" ] && [ "$size" = "$rate" ] && [ "$size" != "$empty_label" ] || return 1
  [ -n "$not_available" ] || not_available="$size"
  [ "$size" = "$not_available" ]
}
# Each step: within 10 s the failed open shows, and a second later kivro still shows it.
expect_failed_open() {
  step="$1"
  wait_for 10 shows_failed_open || fail "$step: no failed open shown (pane, size, rate: $(grab))"
  sleep 1
  shows_failed_open || fail "$step: the failed open does not stay (pane, size, rate: $(grab))"
}

# Preview on, with a.avi chosen.
click_in "Tesma Kivro Pro" 300 185
expect_failed_open "Preview ticked on a.avi"
# The next file, b.mpg, whose MPEG header gives a size and a rate until the open fails: a click
# on the list (on the file already chosen, which is not opened again) gives it the keyboard.
click_in "Tesma Kivro Pro" 60 164
press_on_main Down
expect_failed_open "b.mpg chosen"
# "More Info..." is disabled: a click shows no box.
click_in "Tesma Kivro Pro" 477 115
# Preview off, and on again on b.mpg.
click_in "Tesma Kivro Pro" 300 185
sleep 1
kill -0 "$pid" 2>/dev/null || fail "Preview off: kivro is gone"
click_in "Tesma Kivro Pro" 300 185
expect_failed_open "Preview ticked again on b.mpg"

press_on_main ctrl+p
wait_for 120 log_has "$packed" || fail "no success box after Ctrl+P"
cat "$src/p.bin" "$src/q.bin" | cmp - "$joined" || fail "the joined file differs from its sources"

# No Qt Multimedia object was ever made: Qt's media backend was never even loaded.
! grep -q libgstreamermediaplugin "/proc/$pid/maps" || fail "Qt's media backend was loaded"

# The Close picture stops and closes the preview, which has nothing open, and ends kivro.
click_in "Tesma Kivro Pro" 518 34
wait_for 30 eval '! kill -0 "$pid" 2>/dev/null' || fail "kivro still runs after the Close picture"
rc=0
wait "$pid" || rc=$?
trap - EXIT
[ "$rc" -eq 0 ] || fail "exit status $rc"
# The save dialog and the success box only.
log_prompt_count_is 2 || fail "unexpected log lines"
echo "PASS"
