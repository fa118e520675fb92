#!/usr/bin/env bash
# EMH on files without a sequence header, through the real kivro: each file is said once
# ("'<path>' MPEG header not found."), however many pieces it makes, and its pieces are its
# plain bytes under their EMH names; then the success box. No other box.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
e2e_prompt_files

# 40 pieces of 4,096 bytes and 30 pieces: no 00 00 01 B3 anywhere in either file.
head -c 163840 /dev/zero | tr '\0' 'a' > "$src/a.avi"
head -c 122000 /dev/zero | tr '\0' 'b' > "$src/b.avi"
e2e_action_settings "$src" JbatNo
sed -i 's/^UnpkTyp=RAW$/UnpkTyp=EMH/' "$XDG_CONFIG_HOME/Tesma/Kivro.ini"
printf '%s\n' "$tmp/joined.mpg" > "$KIVRO_TEST_ANSWERS"

"$program_dir/kivro" "$src/a.avi|$src/b.avi" &
pid=$!
trap 'kill -9 "$pid" 2>/dev/null || true' EXIT

wait_for 60 has_window "Pack List" || fail "no pack-list window"
expect_save_dialog_first "$tmp/joined.mpg"
press_on_main ctrl+u
unpacked="box|Information|OK|Tesma Kivro Pro|2 files successfully unpacked!|OK"
wait_for 120 log_has "$unpacked" || fail "no success box after Ctrl+U"
[ "$(grep -c '^box|' "$KIVRO_TEST_LOG")" -eq 3 ] || fail "not one box per file and the success box"
log_has "box|Critical|OK|Tesma Kivro Pro|'$src/a.avi' MPEG header not found.|OK" || fail "a.avi not said"
log_has "box|Critical|OK|Tesma Kivro Pro|'$src/b.avi' MPEG header not found.|OK" || fail "b.avi not said"
[ "$(grep '^box|' "$KIVRO_TEST_LOG" | tail -1)" = "$unpacked" ] || fail "the success box is not the last"
cat "$src"/a.avi.0??.mpg | cmp - "$src/a.avi" || fail "the pieces of a.avi differ"
cat "$src"/b.avi.0??.mpg | cmp - "$src/b.avi" || fail "the pieces of b.avi differ"
[ -f "$src/a.avi.040.mpg" ] && [ ! -e "$src/a.avi.041.mpg" ] || fail "a.avi is not in 40 pieces"

e2e_end_kivro "$pid"
echo "PASS"
