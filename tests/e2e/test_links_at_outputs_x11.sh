#!/usr/bin/env bash
# Nothing is written through a symbolic link that stands at an output's name, as root and without
# root's file-permission override. The real kivro packs a.bin and .h.bin into a hidden save-as
# file that is a link to another file, then unpacks both (pieces of 4,096 bytes beside them, join
# batch files on) where a.bin-JOIN.bat and .h.bin.001 are links to other files and a.bin.002 is a
# link to a file that does not exist, outside the folder; a second run packs into a save-as file
# that is such a dangling link, which the save dialog treats as a file it replaces. Every link is
# replaced by a regular file holding the output, every file a link pointed to is unchanged,
# nothing appears where a dangling link pointed, and the packed files and the pieces join to
# their sources byte for byte.
set -euo pipefail
# shellcheck source=lib.sh source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"
e2e_x11_test "$0" "$@"
e2e_prompt_files
pid=""

# run_kivro WHO HANDOFF: WHO "user" drops root's permission override (anyone else is a user
# already); "root" runs kivro as it is.
run_kivro() {
  : > "$KIVRO_TEST_LOG"
  if [ "$1" = user ] && [ "$(id -u)" -eq 0 ]; then
    setpriv --inh-caps=-all --bounding-set=-dac_override,-dac_read_search "$program_dir/kivro" "$2" &
  else
    "$program_dir/kivro" "$2" &
  fi
  pid=$!
  trap 'kill -9 "$pid" 2>/dev/null || true' EXIT
  wait_for 60 has_window "Pack List" || fail "no pack-list window"
  wait_for 60 grep -q '^dialog|Save Pack File As|' "$KIVRO_TEST_LOG" || fail "no save dialog"
}

regular() {
  [ -f "$1" ] && [ ! -L "$1" ] || fail "'$1' is not a regular file"
}

# The pieces of $1, each a regular file, join to it; its batch file is a regular file too.
joins() {
  local source="$1" count="$2" pieces=() i
  for i in $(seq 1 "$count"); do
    pieces+=("$source.$(printf '%03d' "$i")")
    regular "${pieces[-1]}"
  done
  [ ! -e "$source.$(printf '%03d' $((count + 1)))" ] || fail "too many pieces of $source"
  cat "${pieces[@]}" | cmp - "$source" || fail "the pieces of $source do not join to it"
  regular "$source-JOIN.bat"
  [ "$(head -c 10 "$source-JOIN.bat")" = $'@echo off\r' ] || fail "$source-JOIN.bat is not a batch file"
}

# The whole road once; $1 says as whom ("root" or "user").
road() {
  local w="$tmp/$1"
  local s="$w/src" o="$w/out" away="$w/elsewhere" v
  mkdir -p "$s" "$o" "$away" "$w/kept"
  head -c 10000 /dev/urandom > "$s/a.bin"
  head -c 7000 /dev/urandom > "$s/.h.bin"
  for v in batch piece packed; do
    head -c 20000 /dev/urandom > "$w/$v"
    cp "$w/$v" "$w/kept/$v"
  done
  ln -s "$w/batch" "$s/a.bin-JOIN.bat"
  ln -s "$w/piece" "$s/.h.bin.001"
  ln -s "$away/a.bin.002" "$s/a.bin.002"
  ln -s "$w/packed" "$o/.packed.bin"
  ln -s "$away/dangling.bin" "$o/dangling.bin"
  e2e_action_settings "$s" Jbat

  # Pack into the hidden link, then Unpack.
  printf '%s\n' "$o/.packed.bin" > "$KIVRO_TEST_ANSWERS"
  run_kivro "$1" "$s/a.bin|$s/.h.bin"
  press_on_main ctrl+p
  wait_for 120 log_has "box|Information|OK|Tesma Kivro Pro|'$o/.packed.bin' successfully packed! Total filesize is 17,000 bytes.|OK" \
    || fail "no success box after Ctrl+P ($1)"
  press_on_main ctrl+u
  wait_for 120 log_has "box|Information|OK|Tesma Kivro Pro|2 files successfully unpacked!|OK" \
    || fail "no success box after Ctrl+U ($1)"
  e2e_end_kivro "$pid" " ($1)"
  log_box_count_is 2 || fail "other boxes ($1)"
  for v in batch piece packed; do
    cmp "$w/kept/$v" "$w/$v" || fail "the file the link pointed to was written ($v, $1)"
  done
  regular "$o/.packed.bin"
  cat "$s/a.bin" "$s/.h.bin" | cmp - "$o/.packed.bin" || fail "the packed file differs ($1)"
  joins "$s/a.bin" 3
  joins "$s/.h.bin" 2

  # Pack into the dangling link: the dialog takes it as an existing file it replaces.
  printf '%s\n' "$o/dangling.bin" > "$KIVRO_TEST_ANSWERS"
  run_kivro "$1" "$s/a.bin|$s/.h.bin"
  press_on_main ctrl+p
  wait_for 120 log_has "box|Information|OK|Tesma Kivro Pro|'$o/dangling.bin' successfully packed! Total filesize is 17,000 bytes.|OK" \
    || fail "no success box after the second Ctrl+P ($1)"
  e2e_end_kivro "$pid" " ($1)"
  log_box_count_is 1 || fail "other boxes ($1)"
  regular "$o/dangling.bin"
  cat "$s/a.bin" "$s/.h.bin" | cmp - "$o/dangling.bin" || fail "the second packed file differs ($1)"
  [ -z "$(ls -A "$away")" ] || fail "files appeared where dangling links pointed: $(ls -A "$away") ($1)"
  log_has "dialog|Save Pack File As|$o/dangling.bin|replace confirmed" || fail "the dialog did not ask to replace ($1)"
}

road root
road user
echo "PASS"
