#!/bin/sh
# The main job: set up, build dist/launcher.exe and show it at work under Wine.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/setup.sh
jobs=$(nproc)

echo "=== build: the product (32-bit Windows)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs" --target launcher_dist
file dist/launcher.exe dist/launcher.exe.debug

# Wine runs the product itself (setup.sh made sure this machine runs 32-bit code).
scripts/can-run-32bit.sh || { scripts/can-run-32bit.sh --explain >&2; exit 1; }
echo "(32-bit programs on this machine: $(scripts/can-run-32bit.sh --how))"
build=build/windows; wine=/usr/lib/wine/wine; arch=win32
exe="$root/$build/native/launcher.exe"
# Test doubles that stand in for the suite's Java runtime and native library.
cmake --build "$build" -j "$jobs" --target jvm_stub jvm_java_double enrolclientsvc
doubles="$root/$build/tests/doubles"

prefix="$root/build/demo-wineprefix"
scripts/wine-prefix.sh start "$prefix" "$arch"
trap 'scripts/wine-prefix.sh stop "$prefix" "$arch" >/dev/null' EXIT
export WINEPREFIX="$prefix" WINEDEBUG=-all

demo="$root/build/demo/Halvora Suite"
rm -rf "$demo"
mkdir -p "$demo/bin" "$demo/lib" "$demo/vesmor/l1/bin"
cp "$exe" "$demo/bin/launcher.exe"
. scripts/demo-parts.sh

show() {
  echo
  echo "=== launcher $*"
  set +e
  (cd "$demo" && "$wine" "$demo/bin/launcher.exe" "$@" >"$demo/.out" 2>"$demo/.err")
  status=$?
  set -e
  echo "--- standard output:"; cat "$demo/.out"; echo
  if [ -s "$demo/.err" ]; then echo "--- standard error:"; cat "$demo/.err"; fi
  echo "--- exit status: $status"
  if [ -f "$demo/launcher-logs/launcher.log" ]; then
    echo "--- launcher-logs/launcher.log:"; tr -d '\r' <"$demo/launcher-logs/launcher.log" | sed '/^$/d'
  fi
  if [ -f "$demo/launcher-logs/launcher-cpp.log" ]; then
    echo "--- launcher-logs/launcher-cpp.log:"; cat "$demo/launcher-logs/launcher-cpp.log"; echo
    rm -f "$demo/launcher-logs/launcher-cpp.log"
  fi
}

show
show Ormad
demo_parts
echo
echo "demo done: dist/launcher.exe is the product"
