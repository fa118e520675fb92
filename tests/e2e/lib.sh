# shellcheck shell=bash
# Shared by the black-box tests of the real programs (sourced, not run by CTest).

# e2e_under_xvfb SCRIPT PROGRAM_DIR [--inner TMP]: the first call runs SCRIPT again under its own
# X server with a private temporary folder and exits with its status; inside that run it sets
# `program_dir` and `tmp` and returns.
# The server picks a free display number itself (-displayfd) and says it once it is ready: tests
# started together with "xvfb-run -a" could pick the same number, and one of them then ran on the
# other's server and lost it when that test ended. The server does not reset when its last client
# leaves (a desktop always has one): during a reset it refuses the next program's connection.
# E2E_XVFB_ARGS adds options for the server.
e2e_under_xvfb() {
  local script="$1"
  program_dir="$2"
  if [ "${3:-}" != "--inner" ]; then
    local rc=0
    e2e_run_on_own_server "$script" || rc=$?
    exit "$rc"
  fi
  tmp="$4"
}

# Runs SCRIPT once with --inner under an X server of its own and a private temporary folder.
e2e_run_on_own_server() {
  local script="$1" t x rc=0 xpid display=""
  t="$(mktemp -d)"
  x="$(mktemp -d)"
  # shellcheck disable=SC2086 # E2E_XVFB_ARGS holds several options
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset ${E2E_XVFB_ARGS:-} 3>"$x/display" 2>"$x/xvfb.log" &
  xpid=$!
  for _ in $(seq 1 300); do
    display="$(head -n 1 "$x/display" 2>/dev/null || true)"
    [ -n "$display" ] && break
    kill -0 "$xpid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$display" ]; then
    echo "FAIL: the X server did not start" >&2
    cat "$x/xvfb.log" >&2
    kill "$xpid" 2>/dev/null || true
    rm -rf "$t" "$x"
    return 1
  fi
  DISPLAY=":$display" bash "$script" "$program_dir" --inner "$t" || rc=$?
  # Whatever the run left on this server goes with it.
  kill "$xpid" 2>/dev/null || true
  wait "$xpid" 2>/dev/null || true
  rm -rf "$t" "$x"
  return "$rc"
}

# Points settings, per-user data and runtime files into $tmp, so no test touches the user's own.
e2e_private_folders() {
  export XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" XDG_RUNTIME_DIR="$tmp/runtime" HOME="$tmp"
  mkdir -p "$XDG_CONFIG_HOME/Tesma" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

# The start of every test on an X server, called right after lib.sh is sourced:
# `e2e_x11_test "$0" "$@"`. It runs the script again under its own X server (e2e_under_xvfb,
# which also reads E2E_XVFB_ARGS when it is set before the call) and, in that run, gives it
# private folders (e2e_private_folders), the C.UTF-8 locale, the X11 platform, and two empty
# folders: `src` for its fixture files (with a blank in its name, as users' folders
# have) and `out` for what it writes.
e2e_x11_test() {
  e2e_under_xvfb "$@"
  e2e_private_folders
  export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
  # shellcheck disable=SC2034 # the scripts' own
  src="$tmp/src dir" out="$tmp/out"
  mkdir -p "$src" "$out"
}

# This folder, for the Python helpers beside this file.
e2e_lib_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# python3 with the helpers of this folder importable (xscreen.py: the X server's screen), writing
# no compiled files into the source tree.
e2e_python() {
  PYTHONPATH="$e2e_lib_dir${PYTHONPATH:+:$PYTHONPATH}" PYTHONDONTWRITEBYTECODE=1 python3 "$@"
}

# Waits up to 30 s for a window of exactly this title; prints its id.
wait_window() {
  local id
  for _ in $(seq 1 300); do
    id="$(window_id "$1")"
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

# e2e_end_kivro PID [WORDS]: ends the kivro started as PID as the system would (SIGTERM) and fails
# unless it ends with status 0 (WORDS added to the message); the EXIT trap that would kill it goes.
e2e_end_kivro() {
  local rc=0
  kill -TERM "$1"
  wait "$1" || rc=$?
  trap - EXIT
  [ "$rc" -eq 0 ] || fail "exit status $rc${2:-}"
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

# Like wait_for, to the millisecond: true once COMMAND holds, false after MS milliseconds.
wait_ms() {
  local ms="$1"
  shift
  local end=$(($(date +%s%3N) + ms))
  while ! "$@"; do
    [ "$(date +%s%3N)" -lt "$end" ] || return 1
    sleep 0.02
  done
}

# Prints the id of a window of exactly this title (the first found), or nothing; never fails. A
# search meets windows coming and going (a box, the preview's video window) and then now and
# then ends with an error and no id although the window is there: it is asked again.
window_id() {
  local ids="" _
  for _ in 1 2 3; do
    ids="$(xdotool search --name "^$1\$" 2>/dev/null)" && break
  done
  printf '%s\n' "$ids" | sed -n 1p
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

# The prompts of the log in order: its box and dialog lines (the style line that follows each
# box line is no prompt).
log_prompts() {
  grep -E '^(box|dialog)\|' "$KIVRO_TEST_LOG" || true
}

# The log holds exactly $1 prompts and, besides them, nothing but the style lines of its boxes.
log_prompt_count_is() {
  [ "$(log_prompts | wc -l)" -eq "$1" ] && ! grep -qvE '^(box|dialog|boxstyle)\|' "$KIVRO_TEST_LOG"
}

# The log holds exactly $1 boxes, any number of dialogs, and nothing but the boxes' style lines
# besides.
log_box_count_is() {
  [ "$(grep -c '^box|' "$KIVRO_TEST_LOG")" -eq "$1" ] && ! grep -qvE '^(box|dialog|boxstyle)\|' "$KIVRO_TEST_LOG"
}

# The line that follows the box line $1 in the log: its "boxstyle|<default button>|<top-most>".
box_style_of() {
  grep -A1 -xF -- "$1" "$KIVRO_TEST_LOG" | sed -n 2p
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

# The main window gets the keyboard, then the keys.
press_on_main() {
  focus_window "Tesma Kivro Pro"
  xdotool key --clearmodifiers "$1"
}

# A complete settings file for a run through the actions: no tip window, no MPEG check, a 4 K
# custom piece size, pieces where the file is, the browser starting in $1, join batch files as
# $2 ("Jbat" or "JbatNo").
e2e_action_settings() {
  cat > "$XDG_CONFIG_HOME/Tesma/Kivro.ini" <<EOF
[General]
tRate=fast
sSize=customfs
cSize=4096
cPfs=50
cNof=2
UnpkTyp=RAW
sDir=wfile
UnpackCustomDir=$tmp
Jbat=$2
Delact=No
SaveTo=LastSaved
SaveCustomDir=$tmp
LastSavedDir=$tmp
StartupOpt=LastUsed
StartupCustomDir=$tmp
LastUsedDir=$1
Owrite=Prompt
MZip=Off
MCC=Off
Magnet=Off
CKivro=Off
BrovletXpos=9000
BrovletYpos=1500
ShowTod=0
fCheck=fPass
NoOfFilter=3

[Filter]
1=*.mpg,*.mpeg,*.mpe
2=*.mp3
3=*.*

[FilterInfo]
1=Mpeg
2=Mp3
3=All Files
EOF
}

# The program logs its boxes and dialogs to an empty $tmp/log and takes scripted answers from
# $tmp/answers, which the test writes.
e2e_prompt_files() {
  export KIVRO_TEST_LOG="$tmp/log" KIVRO_TEST_ANSWERS="$tmp/answers"
  : > "$KIVRO_TEST_LOG"
}

# Waits for the first prompt of the log and fails unless it is "Save Pack File As" answered with
# the path $1.
expect_save_dialog_first() {
  wait_for 60 test -s "$KIVRO_TEST_LOG" || fail "no dialog"
  local first
  first="$(head -1 "$KIVRO_TEST_LOG")"
  case "$first" in
    "dialog|Save Pack File As|$1" | "dialog|Save Pack File As|$1|"*) ;;
    *) fail "first log line: $first" ;;
  esac
}

# Asks the window of this title to close as its close box does: a WM_DELETE_WINDOW message
# (xdotool of Debian 12 can only destroy a window, and there is no window manager to ask).
close_window() {
  local id
  id="$(window_id "$1")"
  [ -n "$id" ] || fail "no window '$1'"
  python3 - "$id" <<'PY' || fail "cannot send WM_DELETE_WINDOW to '$1'"
import ctypes
import sys

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("l", ctypes.c_long * 5)]


class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]


x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(Event)]
display = x11.XOpenDisplay(None)
if not display:
    sys.exit(1)
window = int(sys.argv[1])
event = Event()
event.xclient.type = 33  # ClientMessage
event.xclient.window = window
event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.l[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
event.xclient.l[1] = 0  # CurrentTime
if not x11.XSendEvent(display, window, 0, 0, ctypes.byref(event)):
    sys.exit(1)
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XFlush(display)
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay(display)
PY
}

# Waits for the window of this title and gives it the keyboard.
focus() {
  wait_for 60 has_window "$1" || fail "no window '$1'"
  focus_window "$1"
}

# A left click at a point of the window of this title (pixels from its top left corner).
click_in() {
  local id
  id="$(window_id "$1")"
  [ -n "$id" ] || fail "no window '$1'"
  xdotool mousemove --window "$id" "$2" "$3"
  sleep 0.2
  xdotool click 1
  sleep 0.2
}

# Keys for the window that has the keyboard.
key() {
  xdotool key --clearmodifiers "$@"
  sleep 0.2
}
