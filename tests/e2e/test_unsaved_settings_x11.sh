#!/usr/bin/env bash
# A settings folder the program cannot write (here "Tesma" is a file, as on a full disk no file
# can be made there): the real kivro warns once that settings cannot be saved, then opens its
# window on the defaults and works. Two files handed over on its command line are joined by
# Ctrl+P byte for byte into the path answered to "Save Pack File As".
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
e2e_prompt_files
rmdir "$XDG_CONFIG_HOME/Tesma"
echo "not a folder" > "$XDG_CONFIG_HOME/Tesma"

src="$tmp/videos"
mkdir -p "$src"
# Two MPEG files of one kind (a sequence header of 352x288 at 25 fps, then any bytes), so that the
# MPEG check, on by default, lets them pass.
for f in "one.mpg 8988" "two.mpg 3988"; do
  set -- $f
  { printf '\x00\x00\x01\xb3\x16\x01\x20\x13\xff\xff\xe0\x18'; head -c "$2" /dev/urandom; } > "$src/$1"
done
joined="$tmp/joined.mpg"
warning="box|Exclamation|OK|Tesma Kivro Pro|Settings cannot be saved to '$XDG_CONFIG_HOME/Tesma/Kivro.ini'. Changes will not be kept.|OK"
packed="box|Information|OK|Tesma Kivro Pro|'$joined' successfully packed! Total filesize is 13,000 bytes.|OK"
printf '%s\n' OK "$joined" OK > "$KIVRO_TEST_ANSWERS"

cd "$tmp"
"$program_dir/kivro" "$src/one.mpg|$src/two.mpg" &
pid=$!
trap 'kill -9 "$pid" 2>/dev/null || true' EXIT

wait_for 60 has_window "Tesma Kivro Pro" || fail "no main window"
wait_for 60 log_has "dialog|Save Pack File As|$joined|create confirmed" || fail "no save dialog"
[ "$(head -1 "$KIVRO_TEST_LOG")" = "$warning" ] || fail "first log line"
focus_window "Tesma Kivro Pro"
xdotool key --clearmodifiers ctrl+p
wait_for 120 log_has "$packed" || fail "no success box after Ctrl+P"
cat "$src/one.mpg" "$src/two.mpg" | cmp - "$joined" || fail "the joined file differs from its sources"

e2e_end_kivro "$pid"
[ "$(grep -c '^box|' "$KIVRO_TEST_LOG")" -eq 2 ] || fail "other boxes than the warning and the success"
[ -f "$XDG_CONFIG_HOME/Tesma" ] || fail "the settings folder's stand-in was touched"
echo PASS
