#!/usr/bin/env bash
# Builds the program with a second firmware image, version 2.008 and 40 KiB (made by
# scripts/make_firmware.py), in a build folder of its own, and checks that what it states and
# sends is that image: --version, the question, an update through the simulator byte for byte,
# --skip-current against a unit that has it; and that the configure step refuses a misnamed and
# a damaged image. One line per check; the exit status is the number of checks that failed.
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD=${FW2_BUILD:-build-fw2}
JOBS=${JOBS:-2}
OUT="$BUILD/checks"
rm -rf "$OUT" && mkdir -p "$OUT/bad-name" "$OUT/damaged" || exit 1
BUILD=$(cd "$BUILD" && pwd)
OUT="$BUILD/checks"
source scripts/xserver.sh
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done' EXIT
failed=0
check() {  # check NAME STATUS: one line for a check whose condition ended with STATUS
  if [ "$2" -eq 0 ]; then echo "second-firmware: ok    $1"; else echo "second-firmware: FAIL  $1"; failed=$((failed + 1)); fi
}
seconds() { awk -v ns="$(( $(date +%s%N) - $1 ))" 'BEGIN { printf "%.1f", ns / 1e9 }'; }

image=$(python3 scripts/make_firmware.py --version 2.008 --kib 40 "$BUILD") || exit 1
lines=$(grep -c '^:' "$image")  # one record a line
bytes=$(stat -c %s "$image")
sha=$(sha256sum "$image" | cut -d' ' -f1)

started=$(date +%s%N)
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZ7_TESTS=OFF -DQZ7_FIRMWARE="$image" >/dev/null || exit 1
configured=$(seconds "$started")
started=$(date +%s%N)
cmake --build "$BUILD" -j "$JOBS" --target qz7-updater qz7-bootsim >"$OUT/build.log" 2>&1 || { tail -n 30 "$OUT/build.log"; exit 1; }
echo "second-firmware: built with $(basename "$image") ($lines lines): configure ${configured} s, build $(seconds "$started") s"

version=$("$BUILD/qz7-updater" --version)
[ "${version#* firmware }" = "V2.008, $lines lines, sha256 $sha" ]
check "--version: $version" $?

start_sim "$OUT/update.sim" --power-on-ms 1500 --erase-ms 100 --timeout-s 120 --expect "$image" || exit 1
"$BUILD/qz7-updater" --cli --yes --timeout 120 --port "$pty" >"$OUT/update.out" 2>"$OUT/update.err"
status=$?
[ "$status" -eq 0 ] || kill "$sim" 2>/dev/null  # it would wait for the image until its timeout
wait "$sim"
simStatus=$?
[ "$status" -eq 0 ] && grep -qx Done "$OUT/update.out"
check "update: status $status, Done" $?
verdict=$(tail -n1 "$OUT/update.sim")
[ "$simStatus" -eq 0 ] && [[ "$verdict" == "qz7-bootsim: image intact: $lines lines, $bytes bytes in "* ]]
check "simulator: ${verdict#qz7-bootsim: }" $?
grep -q 'Found Version: 2\.005\. Update To: QZ7 V2\.008?$' "$OUT/update.out"
check "question: $(grep -o 'Update To: .*' "$OUT/update.out")" $?

start_sim "$OUT/current.sim" --power-on-ms 1500 --timeout-s 60 --version "QZ7 V2.008" || exit 1
"$BUILD/qz7-updater" --cli --yes --skip-current --timeout 60 --port "$pty" >"$OUT/current.out" 2>&1
status=$?
kill "$sim" 2>/dev/null
wait "$sim" 2>/dev/null
[ "$status" -eq 17 ]
check "--skip-current against a unit on V2.008: status $status" $?

# The configure step alone, in folders of their own, so the build above stays as it is.
cp "$image" "$OUT/bad-name/firmware.hex"
sed '2{s/0\r$/1\r/;t;s/.\r$/0\r/}' "$image" >"$OUT/damaged/$(basename "$image")"  # one checksum digit changed
refused() {  # refused FOLDER IMAGE TEXT: configuring with IMAGE fails and says TEXT
  ! cmake -S . -B "$1" -DQZ7_TESTS=OFF -DQZ7_FIRMWARE="$2" >"$1/configure.log" 2>&1 &&
    tr -s ' \n' ' ' <"$1/configure.log" | grep -qF "$3"
}
refused "$OUT/bad-name" "$OUT/bad-name/firmware.hex" "the image must be named QZ-7-<major>_<minor>.hex"
check "configure refuses firmware.hex" $?
refused "$OUT/damaged" "$OUT/damaged/$(basename "$image")" "fails the program's image check: line 2 sent is not a valid record"
check "configure refuses a damaged checksum" $?
exit "$failed"
