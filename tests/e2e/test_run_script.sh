#!/usr/bin/env bash
# scripts/run.sh builds the program folder alone (the programs and the files beside them, no test
# program) and starts the program from the home folder, as the desktop menu entry does, so that
# the browser and the save-as box do not open inside the source checkout.
set -euo pipefail
program_dir="$1"
src="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "$program_dir/.." && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# What building run.sh's target runs: the programs and the data files, nothing of the tests.
commands="$(ninja -C "$build" -t commands programs)"
grep -q -- "-o bin/kivro " <<<"$commands" || fail "the target does not link kivro"
grep -q -- "bin/tod.ctd" <<<"$commands" || fail "the target does not copy the data files"
! grep -q "tst_" <<<"$commands" || fail "the target builds test programs: $(grep -m1 tst_ <<<"$commands")"

# run.sh in a copy of the scripts, with stand-ins for the set-up, the menu entry and cmake; the
# stand-in program records the folder it was started in.
repo="$tmp/checkout"
mkdir -p "$repo/scripts" "$tmp/bin" "$tmp/home"
cp "$src/scripts/run.sh" "$repo/scripts/"
printf '#!/usr/bin/env bash\nexit 0\n' > "$repo/scripts/setup-deps.sh"
printf '#!/usr/bin/env bash\nexit 0\n' > "$repo/scripts/install-desktop-entry.sh"
cat > "$tmp/bin/cmake" <<STUB
#!/usr/bin/env bash
echo "\$*" >> "$tmp/cmake.log"
mkdir -p build/bin
printf '#!/usr/bin/env bash\npwd > "%s"\n' "$tmp/started-in" > build/bin/kivro
chmod +x build/bin/kivro
STUB
chmod +x "$tmp/bin/cmake"
(cd "$tmp" && HOME="$tmp/home" PATH="$tmp/bin:$PATH" bash "$repo/scripts/run.sh") || fail "run.sh failed"
grep -qx -- "--build --preset default --target programs" "$tmp/cmake.log" \
  || fail "run.sh builds: $(grep -- --build "$tmp/cmake.log")"
[ "$(cat "$tmp/started-in")" = "$tmp/home" ] || fail "the program started in $(cat "$tmp/started-in")"
echo PASS
