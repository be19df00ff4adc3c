#!/usr/bin/env bash
# Runs the updater against the simulated boot loader.
#  - With a display: the window opens and you click through the update yourself.
#  - Without one: runs it under an X server of its own (Xvfb on a free display), presses Update
#    from the keyboard in the updater's own window as a person would, saves a screenshot of each
#    stage in build/demo/ and prints a summary.
# Options: --fast  run the line as fast as the pseudo-terminal goes, with a short erase and short
#                  pauses before the screenshots (seconds instead of ~25 s)
#          --baud N  emulate another line speed
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
OUT="$BUILD/demo"
baud=57600
erase_ms=800
settle=0.4  # seconds for the window to draw before a screenshot
hold=()     # how the simulator holds the transfer for the updating picture
while [ $# -gt 0 ]; do
  case "$1" in
    # Unthrottled, the whole image goes across in well under a second: the simulator holds the
    # transfer after line 1000 for a moment, so that the updating picture shows it under way.
    --fast) baud=0; erase_ms=100; settle=0.2; hold=(--pause-after 1000 --pause-ms 1000) ;;
    --baud) baud="$2"; shift ;;
    *) echo "demo: unknown option $1 (use --fast or --baud N)" >&2; exit 2 ;;
  esac
  shift
done
mkdir -p "$OUT"
# Nothing of an earlier run may be taken for this one's.
rm -f "$OUT"/*.png "$OUT"/bootsim.log "$OUT"/updater.out "$OUT"/updater.log "$OUT"/updater-connect.log "$OUT"/received.hex
source scripts/xserver.sh
pids=()
# The simulated units' records stay with the demo's files, out of the operator's history and the
# machine's journal.
export XDG_STATE_HOME="$(realpath "$OUT")/state" QZ7_JOURNAL=off
trap stop_started EXIT

# The simulator first: it prints its pseudo-terminal's path, then its events, then a summary.
start_sim "$OUT/bootsim.log" --baud "$baud" --power-on-ms 2500 --erase-ms "$erase_ms" --save-image "$OUT/received.hex" \
  --expect "$BUILD/firmware.hex" "${hold[@]}"
started=$(date +%s%N)

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "The simulated QZ7 is on $pty. Press Update when the version question shows."
  QZ7_SERIAL_PORTS="usbserial-sim=$pty" "$BUILD/qz7-updater" || true
  wait "$sim" && status=0 || status=$?
  grep -v '^event:' "$OUT/bootsim.log" | tail -n +2
  exit "$status"
fi

shot() { sleep "$settle"; import -window root "$OUT/$1.png"; echo "  $OUT/$1.png"; }

unset WAYLAND_DISPLAY
start_xserver 640x560

# start_updater LOG PORTS: starts the updater with the port listing PORTS, its transcript going to
# LOG (kept, so that a window that never showed can be explained); sets `updater` and `win`.
start_updater() {
  QZ7_SERIAL_PORTS="$2" "$BUILD/qz7-updater" > "$OUT/updater.out" 2> "$1" &
  updater=$!
  pids+=("$updater")
  if ! win=$(window_of "$updater"); then
    if kill -0 "$updater" 2>/dev/null; then
      echo "demo.sh: the updater is still running; its transcript ($1) ends:" >&2
    else
      wait "$updater" && status=0 || status=$?
      echo "demo.sh: the updater ended with status $status; its transcript ($1) ends:" >&2
    fi
    tail -n 30 "$1" >&2
    exit 1
  fi
  xdotool windowmove "$win" 60 50 >/dev/null 2>&1 || true
}

# First the desktop before the adapter is plugged in: the system lists no serial port, and after
# its patience (5 s; 0.3 s with --fast) the updater says so under "Connect USB adapter". Then that
# window is closed and the updater started again with the simulated adapter in its listing, as it
# would find a real one once plugged in. A listing that named a port not made yet would show an
# open error instead, as it would for an adapter that vanished between the listing and the open.
echo "Screenshots:"
hint_wait=5s
[ "$baud" = 0 ] && hint_wait=300ms
QZ7_TEST_TIMES="no-adapter=$hint_wait" start_updater "$OUT/updater-connect.log" ""
until grep -q "status: No USB serial adapter found" "$OUT/updater-connect.log"; do
  kill -0 "$updater" 2>/dev/null || { echo "demo.sh: the updater ended at Connect USB adapter" >&2; tail -n 30 "$OUT/updater-connect.log" >&2; exit 1; }
  sleep 0.1
done
shot 1-connect-adapter
kill "$updater"
wait "$updater" 2>/dev/null || true

start_updater "$OUT/updater.log" "usbserial-sim=$pty"
wait_event "$OUT/bootsim.log" configured 10
shot 2-power-on
kill -USR1 "$sim"  # the operator powers the QZ7 on once the prompt has been seen
wait_event "$OUT/bootsim.log" version 10
shot 3-version-question
xdotool windowfocus --sync "$win" key space
wait_event "$OUT/bootsim.log" "line 1000" 120
# Held there with --fast: the status line names the line reached once the wait for the next
# asterisk is a quarter of a second old.
[ ${#hold[@]} -gt 0 ] && sleep 0.5
shot 4-updating
wait_event "$OUT/bootsim.log" closed 120
shot 5-done
kill "$updater" 2>/dev/null || true
wait "$updater" 2>/dev/null || true
wait "$sim" && status=0 || status=$?
elapsed_ms=$(( ($(date +%s%N) - started) / 1000000 ))
echo "Simulator: $(tail -n1 "$OUT/bootsim.log")"
echo "Image length printed by the updater: $(cat "$OUT/updater.out")"
echo "Whole demo: $((elapsed_ms / 1000)).$(printf '%03d' $((elapsed_ms % 1000))) s"
exit "$status"
