# Shared by the black-box tests of the real programs (sourced, not run by CTest).

# e2e_under_xvfb SCRIPT PROGRAM_DIR [--inner TMP]: the first call runs SCRIPT again under its own
# X server (xvfb-run) with a private temporary folder and exits with its status; inside that run
# it sets `program_dir` and `tmp` and returns.
e2e_under_xvfb() {
  local script="$1"
  program_dir="$2"
  if [ "${3:-}" != "--inner" ]; then
    local t rc=0
    t="$(mktemp -d)"
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "$script" "$program_dir" --inner "$t" || rc=$?
    rm -rf "$t"
    exit "$rc"
  fi
  tmp="$4"
}

# Points settings, per-user data and runtime files into $tmp, so no test touches the user's own.
e2e_private_folders() {
  export XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" XDG_RUNTIME_DIR="$tmp/runtime" HOME="$tmp"
  mkdir -p "$XDG_CONFIG_HOME/Tesma" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

# Waits up to 30 s for a window of exactly this title; prints its id.
wait_window() {
  local i id
  for i in $(seq 1 300); do
    id="$(xdotool search --name "^$1\$" 2>/dev/null | head -1 || true)"
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

# Ends the test with a message, and the prompt log when there is one.
fail() {
  echo "FAIL: $*" >&2
  if [ -n "${KIVRO_TEST_LOG:-}" ]; then
    echo "--- log:" >&2
    cat "$KIVRO_TEST_LOG" >&2 || true
  fi
  exit 1
}

# Polls a condition (a command) every 0.1 s for up to $1 seconds.
wait_for() {
  local seconds="$1"
  shift
  local end=$((SECONDS + seconds))
  while ! "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}

window_id() {
  xdotool search --name "^$1\$" 2>/dev/null | head -1
}

has_window() {
  [ -n "$(window_id "$1")" ]
}

no_window() {
  [ -z "$(window_id "$1")" ]
}

# The prompt log holds this exact line.
log_has() {
  grep -qxF -- "$1" "$KIVRO_TEST_LOG"
}

focused_on() {
  [ "$(xdotool getwindowfocus 2>/dev/null || true)" = "$1" ]
}

# Gives the window of this title the keyboard (nothing has it without a window manager).
focus_window() {
  local id end
  id="$(window_id "$1")"
  [ -n "$id" ] || fail "no window '$1'"
  end=$((SECONDS + 30))
  until focused_on "$id"; do
    [ "$SECONDS" -lt "$end" ] || fail "the window '$1' does not take the keyboard"
    xdotool windowfocus "$id" 2>/dev/null || true
    sleep 0.1
  done
}
