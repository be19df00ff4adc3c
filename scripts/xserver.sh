# Sourced by the scripts that draw the updater's window off screen (demo, screenshots, status
# shots). Each starts an X server of its own on a display number the server picks itself, so that
# another server (a second checkout, a parallel CI job, a desktop on :0) is never drawn into,
# and finds its windows by the process that made them, never by a title another program may
# share. It starts the simulated QZ7 and waits for its events here too. Needs: the caller's `pids`
# array (what to stop at exit), `OUT` (where the X server's log goes) and `BUILD`.

# start_xserver WIDTHxHEIGHT: starts Xvfb, exports DISPLAY (and the X plug-in) once the server
# answers. -noreset: a server that resets when its last client leaves (here the probe below)
# drops every client that is still connecting at that moment, such as an updater started right
# after; on a machine where the first starts are slow that was the usual end of the demo.
start_xserver() {
  local geometry=$1 numfile="$OUT/xvfb.display" log="$OUT/xvfb.log" number=""
  rm -f "$numfile" "$log"
  Xvfb -displayfd 3 -noreset -screen 0 "${geometry}x24" -nolisten tcp 3>"$numfile" >/dev/null 2>"$log" &
  local server=$!
  pids+=("$server")
  for _ in $(seq 200); do
    number=$(head -n1 "$numfile" 2>/dev/null || true)
    [ -n "$number" ] && [ "$(wc -l < "$numfile")" -ge 1 ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$number" ]; then
    echo "$(basename "$0"): Xvfb did not start; it said:" >&2
    tail -n 20 "$log" >&2
    return 1
  fi
  export DISPLAY=":$number"
  # Drawn on this server, whatever plug-in the caller's environment names (offscreen, wayland).
  export QT_QPA_PLATFORM=xcb
  for _ in $(seq 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  echo "$(basename "$0"): Xvfb on $DISPLAY does not answer" >&2
  return 1
}

# window_of PID: prints the visible window of process PID once it shows (10 s at most).
window_of() {
  local pid=$1 win=""
  for _ in $(seq 200); do
    win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n1 || true)
    [ -n "$win" ] && { echo "$win"; return 0; }
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  echo "$(basename "$0"): no window of process $pid on $DISPLAY" >&2
  return 1
}

# start_sim LOG ARGS...: starts the simulator with ARGS and --events, its output going to LOG. Once
# it has printed the path of its pseudo-terminal, whole, sets `pty` to that path and `sim` to the
# simulator's process (which is also added to `pids`).
start_sim() {
  local log=$1
  shift
  rm -f "$log"
  "$BUILD/qz7-bootsim" "$@" --events > "$log" 2>&1 &
  sim=$!
  pids+=("$sim")
  pty=""
  for _ in $(seq 100); do
    [ "$(wc -l 2>/dev/null < "$log" || echo 0)" -ge 1 ] && pty=$(head -n1 "$log") && break
    kill -0 "$sim" 2>/dev/null || break
    sleep 0.05
  done
  [ -c "$pty" ] && return 0
  echo "$(basename "$0"): the simulator did not start; it said:" >&2
  cat "$log" >&2
  return 1
}

# wait_event LOG EVENT SECONDS: waits until the simulator writing LOG has told EVENT.
wait_event() {
  local log=$1 deadline=$(( $(date +%s) + $3 ))
  until grep -q "^event: $2" "$log"; do
    [ "$(date +%s)" -lt "$deadline" ] || { echo "$(basename "$0"): no '$2' from the simulator" >&2; return 1; }
    sleep 0.05
  done
}

# stop_started: stops what the script started, newest first, and waits for it.
stop_started() {
  local i
  for (( i=${#pids[@]}-1; i>=0; i-- )); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
}
