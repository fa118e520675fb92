#!/usr/bin/env bash
# Builds Kivro under AddressSanitizer and UndefinedBehaviorSanitizer (the preset "sanitize": Debug,
# in build-sanitize/, without the benchmarks) and runs every test but the black-box ones
# (tests/e2e/) under them. The first report of either sanitizer ends its test with a failure
# (the test preset's ASAN_OPTIONS and UBSAN_OPTIONS). Leaks are not looked for: Qt and fontconfig
# keep their caches for the life of the process.
#
#   bash scripts/test-sanitize.sh [--e2e] [build options, such as -j6]
#
# --e2e then runs the black-box tests against the sanitized programs too (the test preset
# "sanitize-e2e"). A report there fails the run even where a test does not look at the status of
# the program that made it: AddressSanitizer writes its reports into
# build-sanitize/sanitizer-reports/, and UndefinedBehaviorSanitizer's, which go to the program's
# error output, are looked for in the output of every test.
# The collector's crowd test is left out there: a sanitized copy starts about three times slower,
# and its 300 copies, sharing 8 X client slots, then leave the list standing still for the
# collector's one-second wait now and then, so the paths rightly go to more than one start of
# kivro. The collector's own tests drive the sanitized program. The start-and-stop loop runs 10
# cycles there instead of 30: a sanitized start takes three times as long, and the normal run
# already tries the loop's races 30 times.
set -euo pipefail
cd "$(dirname "$0")/.."
e2e=0
if [ "${1:-}" = "--e2e" ]; then
  e2e=1
  shift
fi
bash scripts/setup-deps.sh
cmake --preset sanitize
cmake --build --preset sanitize "$@"
ctest --preset sanitize
[ "$e2e" = 1 ] || exit 0

reports=build-sanitize/sanitizer-reports
rm -rf "$reports"
mkdir -p "$reports"
rc=0
ctest --preset sanitize-e2e || rc=$?
if compgen -G "$reports/*" > /dev/null; then
  echo "== AddressSanitizer's reports on the programs" >&2
  cat "$reports"/* >&2
  rc=1
fi
# Every test's whole output, as the last run of ctest kept it.
if grep -n -A40 -E 'runtime error:|ERROR: AddressSanitizer' build-sanitize/Testing/Temporary/LastTest.log >&2; then
  echo "== the sanitizers' reports above are in the black-box tests' output" >&2
  rc=1
fi
exit "$rc"
