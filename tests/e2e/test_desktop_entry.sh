#!/usr/bin/env bash
# The desktop entry and icon for the application menu, installed per user by run.sh: the entry
# starts the program in its folder (also a folder with blanks and shell characters) and names
# an icon that is installed.
set -euo pipefail
program_dir="$1"
src="$(cd "$(dirname "$0")/../.." && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

odd="$tmp/my \$progs \"x\" 100% \\ \`y\`"
mkdir -p "$odd"
for dir in "$program_dir" "$odd"; do
  XDG_DATA_HOME="$tmp/data" bash "$src/scripts/install-desktop-entry.sh" "$dir" >/dev/null
  entry="$tmp/data/applications/tesma-kivro.desktop"
  [ -f "$entry" ] || fail "no desktop entry"
  grep -qx 'Type=Application' "$entry" || fail "no Type"
  grep -qx 'Name=Tesma Kivro Pro' "$entry" || fail "no Name"
  grep -qx 'Icon=tesma-kivro' "$entry" || fail "no Icon"
  real="$(cd "$dir" && pwd)"
  # Undo the two escaping levels the way a desktop reads them and compare with the real path.
  exec_line="$(sed -n 's/^Exec=//p' "$entry")"
  unstring="$(printf '%s' "$exec_line" | sed -e 's/%%/%/g' -e 's/\\\\/\\/g')"
  [ "${unstring:0:1}" = '"' ] && [ "${unstring: -1}" = '"' ] || fail "Exec not quoted: $exec_line"
  inner="${unstring:1:${#unstring}-2}"
  unquoted="$(printf '%s' "$inner" | sed -e 's/\\\([\\"`$]\)/\1/g')"
  [ "$unquoted" = "$real/kivro" ] || fail "Exec names '$unquoted', not '$real/kivro'"
done
grep -qx "TryExec=$(cd "$program_dir" && pwd)/kivro" <(XDG_DATA_HOME="$tmp/data" bash "$src/scripts/install-desktop-entry.sh" "$program_dir" >/dev/null; cat "$tmp/data/applications/tesma-kivro.desktop") || fail "TryExec"
for f in scalable/apps/tesma-kivro.svg 16x16/apps/tesma-kivro.png 32x32/apps/tesma-kivro.png 48x48/apps/tesma-kivro.png; do
  [ -s "$tmp/data/icons/hicolor/$f" ] || fail "icon $f missing"
done
[ -z "$(find "$tmp/data/applications" -name '.tesma-kivro.*')" ] || fail "temporary file left"
echo PASS
