#!/bin/sh
# Makes the captures kept in tests/captures/ again: each is a whole run of the updater
# (`--cli --yes --json --capture`) against the simulator with the options that bring one way
# of ending, so that the replay table in tests/process/test_replay.cpp has one row per class.
#   scripts/make_captures.sh [BUILD]      (default: build)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
out=$top/tests/captures
mkdir -p "$out"

# capture NAME LANG UPDATER-OPTIONS -- SIMULATOR-OPTIONS
capture() {
    name=$1; lang=$2; shift 2
    updater=""
    while [ "$1" != "--" ]; do updater="$updater $1"; shift; done
    shift
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    "$build/qz7-bootsim" --power-on-ms 300 --erase-ms 50 --timeout-s 30 "$@" > "$fifo" &
    sim=$!
    exec 3< "$fifo"
    read -r pty <&3
    rm -f "$fifo"
    status=0
    # shellcheck disable=SC2086
    LANG=$lang QZ7_TEST_TIMES=discovery=20ms "$build/qz7-updater" --cli --yes --json --port "$pty" \
        --capture "$out/$name.jsonl" $updater > /dev/null 2>&1 || status=$?
    cat <&3 > /dev/null || true
    exec 3<&-
    wait "$sim" || true
    echo "$name: exit $status, $(wc -c < "$out/$name.jsonl") bytes"
}

capture done C.UTF-8 --
capture done-de_DE de_DE.UTF-8 --
capture not-erased C.UTF-8 -- --fail-erase
capture unexpected C.UTF-8 -- --reply erase=Bogus
capture not-done C.UTF-8 -- --instead-of-asterisk "30=Not Done"
capture restarted C.UTF-8 -- --restart-after 20
capture disconnected C.UTF-8 -- --hang-up-after 25
capture silence C.UTF-8 --timeout 3 -- --silent-from erase
capture split-bytes C.UTF-8 -- --chunking bytes --noise 3 --suffix version=junk
