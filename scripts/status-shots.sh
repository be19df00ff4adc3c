#!/usr/bin/env bash
# Screenshots of the status line under Xvfb, for the README (docs/): the adapter refused for lack
# of permission, held by another program, a device that goes silent in the middle of the
# transfer, and a transfer with its time left. Runs as root: the updater itself runs as the user
# nobody where permission and exclusive use matter (root is exempt from both).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
OUT=${OUT:-docs}
[ "$(id -u)" = 0 ] || { echo "status-shots: run as root (the updater is run as nobody)" >&2; exit 1; }
WORK=$(mktemp -d)
chmod 755 "$WORK"
source scripts/xserver.sh
pids=()
cleanup() { stop_started; rm -rf "$WORK"; }
trap cleanup EXIT
unset WAYLAND_DISPLAY
OUT=$WORK start_xserver 640x560

sim() {  # sim NAME ARGS...: starts the simulator, sets $pty
  start_sim "$WORK/$1.sim" "${@:2}"
}
updater() {  # updater NAME USER: starts the updater on $pty, sets $updater and $win
  local name=$1 user=$2
  env DISPLAY="$DISPLAY" XDG_RUNTIME_DIR=/tmp QZ7_SERIAL_PORTS="usbserial-adapter=$pty" \
    setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups "$BUILD/qz7-updater" \
    > /dev/null 2> "$WORK/$name.log" &
  updater=$!
  pids+=("$updater")
  # setpriv execs the updater: the process started is the updater itself.
  win=$(window_of "$updater")
  xdotool windowmove "$win" 60 50 >/dev/null 2>&1 || true
}
status_says() {  # status_says NAME TEXT SECONDS
  local deadline=$(( $(date +%s) + $3 ))
  until grep -q "status: .*$2" "$WORK/$1.log"; do
    [ "$(date +%s)" -lt "$deadline" ] || { echo "status-shots: no status '$2'" >&2; cat "$WORK/$1.log" >&2; return 1; }
    sleep 0.1
  done
}
shot() { sleep 0.5; import -window root -crop 520x460+60+50 "$OUT/$1.png"; echo "  $OUT/$1.png"; }
finish() { kill "$updater" 2>/dev/null || true; wait "$updater" 2>/dev/null || true; sleep 0.3; }

echo "Screenshots:"
# Permission: the adapter as udev leaves it (root, group dialout, 0660), the user not in dialout.
sim permission --power-on-ms 60000
chown root:dialout "$pty"
chmod 0660 "$pty"
updater permission nobody
status_says permission "No permission" 30
shot 6-permission-refused
finish

# Held: another program of the same user has the adapter in exclusive use.
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
updater held nobody
status_says held "in use by another program" 30
shot 7-held-by-another-program
finish

# Silence in the middle of the transfer: the device stops after line 1000 for 14 s.
sim silence --power-on-ms 500 --erase-ms 300 --pause-after 1000 --pause-ms 14000
updater silence root
wait_event "$WORK/silence.sim" version 30
sleep 0.5
xdotool windowfocus --sync "$win" key space
status_says silence "No answer from the QZ7" 30
shot 8-silence-mid-transfer
finish

# A transfer at the real line speed, with its time left.
sim progress --baud 57600 --power-on-ms 500 --erase-ms 300
updater progress root
wait_event "$WORK/progress.sim" version 30
sleep 0.5
xdotool windowfocus --sync "$win" key space
wait_event "$WORK/progress.sim" "line 1000" 60
status_says progress "s left" 10
shot 9-transfer-time-left
finish
