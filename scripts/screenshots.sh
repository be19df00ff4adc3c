#!/usr/bin/env bash
# Screenshots for docs/ that the demo does not take, made under Xvfb against the simulator:
# the transfer in a dark look, the question asked when closing during the transfer, and a failure
# screen (the adapter lost mid-transfer) with its way on, "Start over".
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
OUT="$BUILD/shots"
mkdir -p "$OUT"
rm -f "$OUT"/bootsim.log "$OUT"/failing.log "$OUT"/dark.png "$OUT"/close-question.png "$OUT"/start-over.png
source scripts/xserver.sh
pids=()
trap stop_started EXIT
unset WAYLAND_DISPLAY
start_xserver 640x560

start_sim "$OUT/bootsim.log" --baud 57600 --power-on-ms 500 --erase-ms 300

QZ7_SERIAL_PORTS="usbserial-sim=$pty" "$BUILD/qz7-updater" -style Fusion -stylesheet scripts/dark.qss >/dev/null 2>&1 &
pids+=("$!")
win=$(window_of "$!")
xdotool windowmove "$win" 60 50 >/dev/null 2>&1 || true
wait_event "$OUT/bootsim.log" version 20
sleep 0.5
xdotool windowfocus --sync "$win" key Return
wait_event "$OUT/bootsim.log" "line 1000" 20
sleep 0.3
import -window root "$OUT/dark.png"
xdotool windowfocus --sync "$win" key ctrl+w
sleep 0.6
import -window root "$OUT/close-question.png"
xdotool key --window "$win" Escape >/dev/null 2>&1 || true
kill "${pids[-1]}" 2>/dev/null || true

start_sim "$OUT/failing.log" --power-on-ms 500 --hang-up-after 1200
QZ7_SERIAL_PORTS="usbserial-sim=$pty" "$BUILD/qz7-updater" >/dev/null 2>&1 &
pids+=("$!")
win=$(window_of "$!")
xdotool windowmove "$win" 60 50 >/dev/null 2>&1 || true
wait_event "$OUT/failing.log" version 20
sleep 0.5
xdotool windowfocus --sync "$win" key Return
sleep 2
import -window root "$OUT/start-over.png"
convert "$OUT/dark.png" -crop 540x500+50+40 +repage docs/dark-palette.png
convert "$OUT/close-question.png" -crop 540x500+50+40 +repage docs/close-question.png
convert "$OUT/start-over.png" -crop 540x500+50+40 +repage docs/failure-start-over.png
echo "docs/dark-palette.png docs/close-question.png docs/failure-start-over.png"
