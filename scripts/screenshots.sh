#!/usr/bin/env bash
# Takes every picture in docs/ from the built program, under an X server of its own (Xvfb) against
# the simulated QZ7, so that none of them can go stale:
#   1-connect-adapter 2-power-on 3-version-question 4-updating close-question 9-transfer-time-left
#   5-done             one update at the real line speed, closing asked and declined on the way
#   6-permission-refused 7-held-by-another-program
#                      the adapter refused for lack of permission, held by another program
#   8-silence-mid-transfer    the QZ7 silent after line 1000
#   failure-restart           the adapter lost mid-transfer: the failure screen, Restart and Close
#   dark-palette              mid-transfer in Qt's Fusion style with scripts/dark.qss
# Each picture is the window alone (520x460, or taller where what it shows made it grow).
#
# Usage: scripts/screenshots.sh [--lang LOCALE] [NAME...]
#   --lang LOCALE  runs the updater with LANG=LOCALE (for instance de_DE.UTF-8; SHOTS_LANG in the
#                  environment does the same) and names each picture NAME.<LOCALE without its
#                  encoding>.png (1-connect-adapter.de_DE.png) beside the English ones. Without
#                  it the updater runs in C.UTF-8 and the pictures have no suffix.
#   NAME...        takes only the scenes that make these pictures (default: all of them)
# OUT (default docs) is where the pictures go; BUILD (default build) holds the built program.
#
# Runs as root: the updater itself runs as the user nobody where permission and exclusive use
# matter (root is exempt from both).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
DOCS=${OUT:-docs}
lang=${SHOTS_LANG:-}
wanted=()
while [ $# -gt 0 ]; do
  case "$1" in
    --lang) lang="$2"; shift ;;
    -*) echo "screenshots: unknown option $1 (use --lang LOCALE)" >&2; exit 2 ;;
    *) wanted+=("$1") ;;
  esac
  shift
done
suffix=""
if [ -n "$lang" ]; then
  suffix=".${lang%%.*}"
  locale -a 2>/dev/null | grep -qix "$(sed 's/UTF-8/utf8/I' <<<"$lang")" ||
    echo "screenshots: locale $lang is not installed: the program's texts follow it, the system's own messages stay English" >&2
fi
[ "$(id -u)" = 0 ] || { echo "screenshots: run as root (sudo $0): the updater is also run as nobody" >&2; exit 1; }
[ -x "$BUILD/qz7-updater" ] && [ -x "$BUILD/qz7-bootsim" ] ||
  { echo "screenshots: build the program first (make build)" >&2; exit 1; }
mkdir -p "$DOCS"

# Scratch space in the build tree; the updater's runtime directory is nobody's own.
WORK="$BUILD/shots"
rm -rf "$WORK"
mkdir -p "$WORK/runtime"
chmod 755 "$WORK"
chown nobody "$WORK/runtime"
chmod 700 "$WORK/runtime"
# A history of each user's own: nobody cannot write the one root made.
mkdir -p "$WORK/state-root" "$WORK/state-nobody"
chown nobody "$WORK/state-nobody"
OUT=$WORK  # where xserver.sh puts the X server's log
source scripts/xserver.sh
pids=()
trap stop_started EXIT
unset WAYLAND_DISPLAY
start_xserver 640x560

want() {  # want NAME...: whether any of these pictures was asked for
  [ ${#wanted[@]} = 0 ] && return 0
  local w n
  for n in "$@"; do for w in "${wanted[@]}"; do [ "$w" = "$n" ] && return 0; done; done
  return 1
}
sim() {  # sim NAME ARGS...: starts the simulator, sets $pty and $sim
  start_sim "$WORK/$1.sim" "${@:2}"
}
updater() {  # updater NAME USER PORTS [ARGS...]: starts the updater, sets $updater and $win
  local name=$1 user=$2 ports=$3
  shift 3
  env -i PATH=/usr/bin:/bin DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$(realpath "$WORK/runtime")" \
    XDG_STATE_HOME="$(realpath "$WORK")/state-$user" QZ7_JOURNAL=off \
    LANG="${lang:-C.UTF-8}" QZ7_SERIAL_PORTS="$ports" ${times:+QZ7_TEST_TIMES="$times"} \
    setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups "$BUILD/qz7-updater" "$@" \
    > /dev/null 2> "$WORK/$name.log" &
  updater=$!
  pids+=("$updater")
  # setpriv execs the updater: the process started is the updater itself.
  win=$(window_of "$updater")
  xdotool windowmove "$win" 60 50 >/dev/null 2>&1 || true
}
says() {  # says NAME PATTERN SECONDS: waits until the updater's transcript NAME holds PATTERN
  local deadline=$(( $(date +%s) + $3 ))
  until grep -q -- "$2" "$WORK/$1.log"; do
    [ "$(date +%s)" -lt "$deadline" ] || { echo "screenshots: no '$2' in $1's transcript" >&2; cat "$WORK/$1.log" >&2; return 1; }
    sleep 0.1
  done
}
press() { xdotool windowfocus --sync "$win" key "$1"; }
second_window() {  # the updater's other visible window (its question), once it shows
  local w
  for _ in $(seq 100); do
    w=$(xdotool search --onlyvisible --pid "$updater" 2>/dev/null | grep -vx "$win" | tail -n1 || true)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.05
  done
  echo "screenshots: the updater showed no question" >&2
  return 1
}
shot() {  # shot NAME: the window alone, once it has drawn what it was told
  sleep 0.5
  # Where the window is and how big: 520x460 unless what it shows made it grow.
  local WIDTH=520 HEIGHT=460 X=60 Y=50 SCREEN WINDOW
  [ -n "${win:-}" ] && eval "$(xdotool getwindowgeometry --shell "$win" 2>/dev/null)"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$DOCS/$1$suffix.png"
  echo "  $DOCS/$1$suffix.png"
}
finish() { kill "$updater" 2>/dev/null || true; wait "$updater" 2>/dev/null || true; sleep 0.3; }

echo "Screenshots:"
if want 1-connect-adapter; then
  # No serial port listed at all: after its patience the updater says so.
  times="no-adapter=5s" updater connect root ""
  says connect "status: No USB serial adapter found" 15
  shot 1-connect-adapter
  finish
fi

if want 2-power-on 3-version-question 4-updating close-question 9-transfer-time-left 5-done; then
  # One update at the real line speed. Closing mid-transfer asks; Escape keeps updating.
  sim update --baud 57600 --power-on-ms 60000 --erase-ms 800
  updater update root "usbserial-sim=$pty"
  wait_event "$WORK/update.sim" configured 10
  shot 2-power-on
  kill -USR1 "$sim"
  wait_event "$WORK/update.sim" version 10
  says update "directions: Found Version" 10
  shot 3-version-question
  press space
  wait_event "$WORK/update.sim" "line 1000" 60
  sleep 1  # the time left shows from the first second of the transfer
  shot 4-updating
  press ctrl+w
  question=$(second_window)
  shot close-question
  xdotool windowfocus --sync "$question" key Escape
  wait_event "$WORK/update.sim" "line 2500" 60
  shot 9-transfer-time-left
  wait_event "$WORK/update.sim" closed 60
  says update "status: Sent 3075 lines" 10
  shot 5-done
  finish
fi

if want 6-permission-refused; then
  # The adapter as udev leaves it (root, group dialout, 0660), the user not in dialout.
  sim permission --power-on-ms 60000
  chown root:dialout "$pty"
  chmod 0660 "$pty"
  updater permission nobody "usbserial-adapter=$pty"
  says permission "status: No permission" 30
  shot 6-permission-refused
  finish
fi

if want 7-held-by-another-program; then
  # Another program of the same user has the adapter in exclusive use.
  sim held --power-on-ms 60000
  chown nobody "$pty"
  chmod 0666 "$pty"
  setpriv --reuid=nobody --regid=nogroup --clear-groups /usr/bin/python3 -c '
import fcntl, os, sys, termios, time
fd = os.open(sys.argv[1], os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
fcntl.ioctl(fd, termios.TIOCEXCL)
time.sleep(120)' "$pty" &
  pids+=("$!")
  sleep 0.5
  updater held nobody "usbserial-adapter=$pty"
  says held "in use by another program" 30
  shot 7-held-by-another-program
  finish
fi

if want 8-silence-mid-transfer; then
  # The device stops after line 1000 for 14 s.
  sim silence --power-on-ms 500 --erase-ms 300 --pause-after 1000 --pause-ms 14000
  updater silence root "usbserial-sim=$pty"
  wait_event "$WORK/silence.sim" version 30
  says silence "directions: Found Version" 10
  press space
  says silence "status: No answer from the QZ7" 30
  shot 8-silence-mid-transfer
  finish
fi

if want failure-restart; then
  # The adapter lost in the middle of the transfer.
  sim failing --power-on-ms 500 --erase-ms 300 --line-delay-us 200 --hang-up-after 1200
  updater failing root "usbserial-sim=$pty"
  wait_event "$WORK/failing.sim" version 30
  says failing "directions: Found Version" 10
  press space
  says failing "directions: USB adapter disconnected" 30
  says failing "status: Stopped while sending" 10
  shot failure-restart
  finish
fi

if want dark-palette; then
  sim dark --baud 57600 --power-on-ms 500 --erase-ms 300
  updater dark root "usbserial-sim=$pty" -style Fusion -stylesheet scripts/dark.qss
  wait_event "$WORK/dark.sim" version 30
  says dark "directions: Found Version" 10
  press space
  wait_event "$WORK/dark.sim" "line 1500" 60
  shot dark-palette
  finish
fi
