#!/bin/bash
# bench-service.sh [windows build dir] [rounds]
# Measures the vesmors service under Wine, beside a minimal service
# (tests/service/minimal_service.cpp) measured the same way in the same run:
#  - CPU time of the service process while it idles (utime+stime from /proc,
#    as a share of one core; BENCH_IDLE_SECONDS, default 10);
#  - time from the Stop control to the end of the service process
#    (tests/service/service_stop_timer.cpp), median and max over the rounds.
# The figures are reported as ratios against the minimal service too: where
# 32-bit code is emulated they are not Windows figures, the ratios are.
# Needs the targets launcher, jvm_stub, minimal_service and service_stop_timer
# of the build (default build/windows, the product). Uses a Wine prefix of its
# own under the build directory, or LAUNCHER_BENCH_WINEPREFIX, a prefix whose
# wineserver is already kept running by the caller.
set -euo pipefail
build=$(cd "${1:-build/windows}" && pwd)
rounds=${2:-7}
idle=${BENCH_IDLE_SECONDS:-10}
here=$(cd "$(dirname "$0")" && pwd)
for f in native/launcher.exe tests/doubles/jvm/jre/bin/client/jvm.dll tests/service/minimal_service.exe \
         tests/service/service_stop_timer.exe; do
  [ -f "$build/$f" ] || { echo "bench-service: $build/$f is missing; build it first" >&2; exit 2; }
done

case "$("$here/pe-machine.sh" "$build/native/launcher.exe")" in
  i386)
    "$here/can-run-32bit.sh" || { "$here/can-run-32bit.sh" --explain >&2; exit 2; }
    wine=/usr/lib/wine/wine; arch=win32; execution="32-bit Wine, $("$here/can-run-32bit.sh" --how)" ;;
  x86_64) wine=/usr/lib/wine/wine64; arch=win64; execution="64-bit Wine" ;;
  *) echo "bench-service: $build/native/launcher.exe is not an x86 PE file" >&2; exit 2 ;;
esac
own_prefix=yes
if [ -n "${LAUNCHER_BENCH_WINEPREFIX:-}" ]; then
  export WINEPREFIX="$LAUNCHER_BENCH_WINEPREFIX"; own_prefix=no
else
  export WINEPREFIX="$build/bench-wineprefix"
fi
export WINEDEBUG=-all
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
# The pid of this prefix's service manager, empty while none runs.
manager_pid() {
  local p
  for p in $(pids_of 'C:\windows\system32\services.exe'); do
    tr '\0' '\n' 2>/dev/null < "/proc/$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && { echo "$p"; return; }
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
  explain "$1"
  return 1
}
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
wait_for_main() {  # timeout-seconds
  local i
  for i in $(seq 1 $(($1 * 10))); do
    grep -q "main called" "$tree/jre/bin/client/jvm_stub_record.txt" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "bench-service: the Java stand-in's main was not called" >&2
  explain vesmors
  return 1
}
# What the service manager and the service's own files say, for a run that failed.
explain() {
  "$wine" sc query "$1" >&2 2>&1 || true
  [ "$1" = vesmors ] || return 0
  local f
  for f in "$tree/launcher-logs"/* "$tree/jre/bin/client/jvm_stub_record.txt"; do
    [ -f "$f" ] || continue
    echo "--- ${f#"$work"/}" >&2
    tr -d '\r' <"$f" | grep -v '^$' >&2 || true
  done
}

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
  [ "$own_prefix" = no ] || "$here/wine-prefix.sh" stop "$WINEPREFIX" "$arch" >/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$tree/bin" "$tree/launcher-logs" "$work/minimal"
cp "$build/native/launcher.exe" "$tree/bin/"
cp -r "$build/tests/doubles/jvm/jre" "$tree/"
echo "main=block" > "$tree/jre/bin/client/jvm_stub.cfg"
cp "$build/tests/service/minimal_service.exe" "$minimal_exe"
cp "$build/tests/service/service_stop_timer.exe" "$work/"

[ "$own_prefix" = no ] || "$here/wine-prefix.sh" start "$WINEPREFIX" "$arch"
(cd "$tree" && "$wine" "$tree/bin/launcher.exe" install >/dev/null)
"$wine" sc create svcbench_minimal binpath= "$(wpath "$minimal_exe")" >/dev/null

declare -A exe=([vesmors]="$(wpath "$tree/bin/launcher.exe")" [svcbench_minimal]="$(wpath "$minimal_exe")")

declare -A cpu_pct exit_med exit_max control_med
# measure <service>: its idle CPU and its stops; fails at the first step that does.
measure() {
  local s=$1 pid t0 t1 r out
  "$wine" sc start "$s" >/dev/null
  wait_state "$s" 4 120 || return 1
  # Idle from the moment the Java stand-in's main runs, however long its start takes.
  [ "$s" != vesmors ] || wait_for_main 120 || return 1
  pid=$(pids_of "${exe[$s]}" | head -1)
  [ -n "$pid" ] || { echo "bench-service: no process found for $s" >&2; explain "$s"; return 1; }
  t0=$(ticks "$pid") && sleep "$idle" && t1=$(ticks "$pid") ||
    { echo "bench-service: the process of $s ended while it idled" >&2; explain "$s"; return 1; }
  cpu_pct[$s]=$(awk -v t=$((t1 - t0)) -v hz="$(getconf CLK_TCK)" -v s="$idle" 'BEGIN {printf "%.2f", 100 * t / hz / s}')
  exits=(); controls=()
  for r in $(seq 1 "$rounds"); do
    [ "$r" = 1 ] || { "$wine" sc start "$s" >/dev/null; wait_state "$s" 4 60 || return 1; sleep 0.5; }
    out=$("$wine" "$work/service_stop_timer.exe" "$s") || {
      echo "bench-service: round $r of $s: the stop could not be timed" >&2; explain "$s"; return 1; }
    exits+=("$(echo "$out" | sed -n 's/.*exit_ms=\([0-9.]*\).*/\1/p')")
    controls+=("$(echo "$out" | sed -n 's/.*control_ms=\([0-9.]*\).*/\1/p')")
    wait_state "$s" 1 30 || return 1
  done
}
restarted=no
for s in vesmors svcbench_minimal; do
  manager=$(manager_pid)
  until measure "$s"; do
    # A service manager started anew meanwhile knows nothing of the running
    # service, and the service's process ends with the old one: that is
    # Wine's doing, not the service's, and once a run the service is
    # measured again.
    now=$(manager_pid)
    [ "$restarted" = no ] && [ -n "$manager" ] && [ "$now" != "$manager" ] || exit 1
    echo "bench-service: Wine's service manager was started anew (process $manager, now ${now:-none}); $s again" >&2
    restarted=yes; manager=$now
  done
  read -r exit_med[$s] exit_max[$s] < <(printf '%s\n' "${exits[@]}" | sort -n |
    awk '{a[NR]=$1} END {printf "%.1f %.1f\n", a[int((NR+1)/2)], a[NR]}')
  control_med[$s]=$(printf '%s\n' "${controls[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]}')
done

# vesmors / minimal; "-" where the minimal service's figure is zero.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
echo "execution: $execution"
printf '%-17s %-15s %-28s %s\n' service "idle CPU (${idle} s)" "stop->exit ms (median / max of $rounds)" \
  "control ms (median)"
for s in vesmors svcbench_minimal; do
  printf '%-17s %-15s %-28s %s\n' "$s" "${cpu_pct[$s]}%" "${exit_med[$s]} / ${exit_max[$s]}" "${control_med[$s]}"
done
v=vesmors; m=svcbench_minimal
printf '%-17s %-15s %-28s %s\n' "ratio" "$(ratio "${cpu_pct[$v]}" "${cpu_pct[$m]}")" \
  "$(ratio "${exit_med[$v]}" "${exit_med[$m]}") / $(ratio "${exit_max[$v]}" "${exit_max[$m]}")" \
  "$(ratio "${control_med[$v]}" "${control_med[$m]}")"
