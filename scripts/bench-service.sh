#!/bin/bash
# bench-service.sh [windows64 build dir] [rounds]
# Measures the vesmors service under Wine, beside a minimal service
# (tests/service/minimal_service.cpp) in the same run:
#  - CPU time of the service process while it idles for 10 s (utime+stime
#    from /proc, as a share of one core);
#  - time from the Stop control to the end of the service process
#    (tests/service/service_stop_timer.cpp), median and max over the rounds.
# Needs the targets launcher, jvm_stub, minimal_service and service_stop_timer
# of the build. Uses a Wine prefix of its own under the build directory.
set -euo pipefail
build=$(cd "${1:-build/windows64}" && pwd)
rounds=${2:-7}
here=$(cd "$(dirname "$0")" && pwd)
for f in native/launcher.exe tests/doubles/jvm/jvm.dll tests/service/minimal_service.exe \
         tests/service/service_stop_timer.exe; do
  [ -f "$build/$f" ] || { echo "bench-service: $build/$f is missing; build it first" >&2; exit 2; }
done

export WINEPREFIX="$build/bench-wineprefix" WINEDEBUG=-all
wine=/usr/lib/wine/wine64
work=/tmp/launcher-bench-service/$$
tree="$work/vesmors bench"
minimal_exe="$work/minimal/minimal_service.exe"

wpath() { echo "Z:$1" | tr / '\\'; }
# Linux pids (not zombies) whose command line holds the given Windows path.
pids_of() {
  local d p
  for d in /proc/[0-9]*; do
    p=${d#/proc/}
    tr '\0' ' ' 2>/dev/null < "/proc/$p/cmdline" | grep -qF "$1" || continue
    [ "$(awk '{print $3}' "/proc/$p/stat" 2>/dev/null)" = Z ] && continue
    echo "$p"
  done
}
state_of() { "$wine" sc query "$1" 2>/dev/null | awk '/STATE/ {print $3}'; }
wait_state() {  # service state timeout-seconds
  local i
  for i in $(seq 1 $(($3 * 10))); do
    [ "$(state_of "$1")" = "$2" ] && return 0
    sleep 0.1
  done
  echo "bench-service: $1 did not reach state $2" >&2
  return 1
}
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

cleanup() {
  set +e
  for s in vesmors svcbench_minimal; do
    "$wine" sc stop "$s" >/dev/null 2>&1
    "$wine" sc delete "$s" >/dev/null 2>&1
  done
  sleep 1
  for p in $(pids_of "$(wpath "$tree/bin/launcher.exe")") $(pids_of "$(wpath "$minimal_exe")"); do
    kill -9 "$p" 2>/dev/null
  done
  "$here/wine-prefix.sh" stop "$WINEPREFIX" win64 >/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$tree/bin" "$tree/jre/bin/client" "$tree/launcher-logs" "$work/minimal"
cp "$build/native/launcher.exe" "$tree/bin/"
cp "$build/tests/doubles/jvm/jvm.dll" "$tree/jre/bin/client/"
echo "main=block" > "$tree/jre/bin/client/jvm_stub.cfg"
cp "$build/tests/service/minimal_service.exe" "$minimal_exe"
cp "$build/tests/service/service_stop_timer.exe" "$work/"

"$here/wine-prefix.sh" start "$WINEPREFIX" win64
(cd "$tree" && "$wine" "$tree/bin/launcher.exe" install >/dev/null)
"$wine" sc create svcbench_minimal binpath= "$(wpath "$minimal_exe")" >/dev/null

declare -A exe=([vesmors]="$(wpath "$tree/bin/launcher.exe")" [svcbench_minimal]="$(wpath "$minimal_exe")")

echo "service           idle CPU (10 s)   stop->exit ms (median / max of $rounds)   control ms (median)"
for s in vesmors svcbench_minimal; do
  "$wine" sc start "$s" >/dev/null
  wait_state "$s" 4 120
  sleep 2  # let the Java stand-in settle
  pid=$(pids_of "${exe[$s]}" | head -1)
  t0=$(ticks "$pid"); sleep 10; t1=$(ticks "$pid")
  cpu=$(awk -v t=$((t1 - t0)) -v hz="$(getconf CLK_TCK)" 'BEGIN {printf "%.2f%%", 100 * t / hz / 10}')
  exits=(); controls=()
  for r in $(seq 1 "$rounds"); do
    [ "$r" = 1 ] || { "$wine" sc start "$s" >/dev/null; wait_state "$s" 4 60; sleep 0.5; }
    out=$("$wine" "$work/service_stop_timer.exe" "$s")
    exits+=("$(echo "$out" | sed -n 's/.*exit_ms=\([0-9.]*\).*/\1/p')")
    controls+=("$(echo "$out" | sed -n 's/.*control_ms=\([0-9.]*\).*/\1/p')")
    wait_state "$s" 1 30
  done
  stats=$(printf '%s\n' "${exits[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f / %.1f", a[int((NR+1)/2)], a[NR]}')
  control=$(printf '%s\n' "${controls[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]}')
  printf '%-17s %-17s %-41s %s\n' "$s" "$cpu" "$stats" "$control"
done
