#!/usr/bin/env bash
# The collector brovlet under a crowd of copies, beside a stand-in kivro that records when it
# starts and what it gets:
#  1. N copies (default 2,000), one path each, started K at a time (default 8): the time from
#     the first start to the one start of kivro, which must hold every path once;
#  2. the cost of one copy that only adds its path (another copy is the collector) against a
#     program that does nothing and loads the same libraries (build/bench/brovlet_idle), and
#     against `true`: the best and the median of R runs each, taken in turns.
# Runs on the X server of DISPLAY, or under its own (xvfb-run) when none is set. Prints the load
# average at the start and at the end: compare rows of one run.
#
# --collector FILE measures another build of the collector against this build's brovlet_idle;
# --copies 0 leaves out the crowd.
#
#   bench/bench_brovlet.sh [--build DIR] [--collector FILE] [--copies N] [--parallel K] [--runs R]
set -euo pipefail

build="build"
collector=""
copies=2000
parallel=8
runs=200
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$2"; shift 2 ;;
    --collector) collector="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"; shift 2 ;;
    --copies) copies="$2"; shift 2 ;;
    --parallel) parallel="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --inner) shift ;;
    *) echo "usage: $0 [--build DIR] [--collector FILE] [--copies N] [--parallel K] [--runs R]" >&2; exit 2 ;;
  esac
done
build="$(cd "$build" && pwd)"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a bash "$0" --build "$build" ${collector:+--collector "$collector"} --copies "$copies" --parallel "$parallel" --runs "$runs" --inner
fi

collector="${collector:-$build/bin/brovlet}"
idle="$build/bench/brovlet_idle"
[ -x "$collector" ] && [ -x "$idle" ] || { echo "build brovlet and brovlet_idle first" >&2; exit 2; }
if ! diff <(ldd "$collector" | awk '{print $1}' | sort) <(ldd "$idle" | awk '{print $1}' | sort) > /dev/null; then
  echo "brovlet_idle does not load the same libraries as brovlet" >&2
  exit 2
fi

tmp="$(mktemp -d)"
holder=""
cleanup() {
  [ -z "$holder" ] || kill "$holder" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
prog="$tmp/prog"
calls="$tmp/calls"
mkdir -p "$prog" "$calls" "$tmp/runtime"
chmod 700 "$tmp/runtime"
cp "$collector" "$prog/brovlet"
cat > "$prog/kivro" <<EOF
#!/bin/sh
date +%s.%N > "$calls/started"
printf '%s\n' "\$@" > "$calls/arguments"
EOF
chmod 755 "$prog/kivro"
export XDG_RUNTIME_DIR="$tmp/runtime" QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
unset KIVRO_TEST_ANSWERS KIVRO_TEST_LOG

echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) processors)"

# 1. The crowd.
if [ "$copies" -gt 0 ]; then
  seq -f "/bench/choice/file %05g.mpg" 1 "$copies" > "$tmp/paths"
  start="$(date +%s.%N)"
  xargs -d '\n' -n 1 -P "$parallel" "$prog/brovlet" < "$tmp/paths"
  end_copies="$(date +%s.%N)"
  for _ in $(seq 1 600); do
    [ -e "$calls/started" ] && ! pgrep -f "^$prog/brovlet" > /dev/null && break
    sleep 0.1
  done
  [ -e "$calls/started" ] || { echo "kivro was never started" >&2; exit 1; }
  tr '|' '\n' < "$calls/arguments" | sort > "$tmp/handed"
  if ! cmp -s "$tmp/handed" <(sort "$tmp/paths"); then
    echo "the paths handed over differ from those chosen" >&2
    exit 1
fi
crowd="$(echo "$(cat "$calls/started") - $start" | bc -l)"
started="$(echo "$end_copies - $start" | bc -l)"
fi

# 2. One appending copy. The collector's lock is held by a stand-in collector, so every copy
# only adds its path; the list is emptied between turns so it never grows large.
lockdir="$XDG_RUNTIME_DIR/tesma-kivro"
mkdir -p "$lockdir"
chmod 700 "$lockdir"
(
  exec 9> "$lockdir/brovlet.lock"
  flock 9
  exec sleep 100000
) > /dev/null 2>&1 &
holder=$!
sleep 0.2
timed() {
  local t0 t1
  t0="$(date +%s%N)"
  "$@" > /dev/null 2>&1 || echo "$1 ended with $?" >&2
  t1="$(date +%s%N)"
  echo $(((t1 - t0) / 1000))
}
: > "$tmp/t.brovlet"
: > "$tmp/t.idle"
: > "$tmp/t.true"
for i in $(seq 1 "$runs"); do
  [ $((i % 50)) -ne 0 ] || rm -f "$lockdir/brovlet.tmp"
  timed "$prog/brovlet" "/bench/one/$i.mpg" >> "$tmp/t.brovlet"
  timed "$idle" >> "$tmp/t.idle"
  timed /bin/true >> "$tmp/t.true"
done
[ "$(grep -c . "$lockdir/brovlet.tmp" 2>/dev/null || echo 0)" -gt 0 ] || { echo "the copies added nothing" >&2; exit 1; }
kill "$holder"
holder=""

stats() {
  sort -n "$1" | awk '{a[NR] = $1} END {printf "%8.2f %8.2f", a[1] / 1000, a[int((NR + 1) / 2)] / 1000}'
}
if [ "$copies" -gt 0 ]; then
  echo
  printf '%d copies, %d at a time: all ended after %.1f s, kivro started after %.1f s with all %d paths\n' \
    "$copies" "$parallel" "$started" "$crowd" "$copies"
fi
echo
echo "one run each, $runs runs in turns (ms)   best   median"
printf '%-38s %s\n' "brovlet, a copy that only appends" "$(stats "$tmp/t.brovlet")"
printf '%-38s %s\n' "brovlet_idle (same libraries)" "$(stats "$tmp/t.idle")"
printf '%-38s %s\n' "true" "$(stats "$tmp/t.true")"
b="$(sort -n "$tmp/t.brovlet" | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}')"
d="$(sort -n "$tmp/t.idle" | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}')"
printf 'median cost of appending over brovlet_idle: %.2f ms\n' "$(echo "($b - $d) / 1000" | bc -l)"
echo
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
