#!/usr/bin/env bash
# Under a file-size limit (ulimit -f) the real kivro is not killed in the middle of a pack: the
# write past the limit fails like a full disk, the program asks "Cannot overwrite" with Retry and
# Cancel, a Cancel ends the pack with its message, and the program goes on and closes with
# status 0.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
e2e_prompt_files

head -c 300000 /dev/urandom > "$src/a.mpg"
head -c 300000 /dev/urandom > "$src/b.mpg"
e2e_action_settings "$src" JbatNo
out="$tmp/joined.mpg"
printf '%s\n' "$out" Cancel OK > "$KIVRO_TEST_ANSWERS"

# 400 blocks of 512 bytes: room for the settings, not for the joined file.
prlimit --fsize=204800 "$program_dir/kivro" "$src/a.mpg|$src/b.mpg" &
pid=$!
trap 'kill -9 "$pid" 2>/dev/null || true' EXIT

wait_for 60 has_window "Pack List" || fail "no pack-list window"
expect_save_dialog_first "$out"
press_on_main ctrl+p
wait_for 120 log_has "box|Information|OK|Tesma Kivro Pro|Packing aborted by user.|OK" \
  || fail "no Cancel box after the write past the limit (status: $(kill -0 "$pid" 2>/dev/null && echo running || echo ended))"
log_has "box|Critical|RetryCancel|Tesma Kivro Pro|Cannot overwrite '$out'. Disk full/write-protected or file is in use.|Cancel" \
  || fail "no Cannot overwrite box"
[ "$(grep -c '^box|' "$KIVRO_TEST_LOG")" -eq 2 ] || fail "other boxes"

e2e_end_kivro "$pid"

echo "PASS"
