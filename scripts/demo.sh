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

# Wine runs the product itself where this machine can execute 32-bit code;
# elsewhere it runs the 64-bit build of the same sources.
if scripts/can-run-32bit.sh; then
  build=build/windows; wine=/usr/lib/wine/wine; arch=win32
else
  echo "(this kernel cannot run 32-bit code: the demo runs the 64-bit build of the same sources under wine64)"
  cmake --preset windows64 >/dev/null
  cmake --build --preset windows64 -j "$jobs" --target launcher
  build=build/windows64; wine=/usr/lib/wine/wine64; arch=win64
fi
exe="$root/$build/native/launcher.exe"
# Test doubles that stand in for the suite's Java runtime and native library.
cmake --build "$build" -j "$jobs" --target jvm_stub enrolclientsvc
doubles="$root/$build/tests/doubles"

prefix="$root/build/demo-wineprefix"
scripts/wine-prefix.sh start "$prefix" "$arch"
trap 'scripts/wine-prefix.sh stop "$prefix" "$arch" >/dev/null' EXIT
export WINEPREFIX="$prefix" WINEDEBUG=-all

demo="$root/build/demo/Halvora Suite"
rm -rf "$demo"
mkdir -p "$demo/bin" "$demo/lib" "$demo/jre/bin/client" "$demo/vesmor/l1/bin"
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
