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
# And two test tools: a starter that gives no standard handles, as a shortcut,
# and a person's eyes and mouse for a window.
cmake --build "$build" -j "$jobs" --target jvm_stub jvm_java_double enrolclientsvc start_without_handles find_window
doubles="$root/$build/tests/doubles"
tools="$root/$build/tests"

# A display of its own (Xvfb, which names a free one once it serves it) for the
# error window of a failed start.
mkdir -p build
display_file="$root/build/demo-display"
: >"$display_file"
Xvfb -displayfd 5 -nolisten tcp -screen 0 1024x768x24 5>"$display_file" >/dev/null 2>&1 &
xvfb=$!
i=0
until [ -s "$display_file" ] || [ $i -ge 100 ]; do sleep 0.1; i=$((i + 1)); done
[ -s "$display_file" ] || { echo "demo: Xvfb did not start" >&2; kill "$xvfb"; exit 1; }
LAUNCHER_WINE_DISPLAY=":$(cat "$display_file")"
DISPLAY=$LAUNCHER_WINE_DISPLAY
export LAUNCHER_WINE_DISPLAY DISPLAY

prefix="$root/build/demo-wineprefix"
trap 'scripts/wine-prefix.sh stop "$prefix" "$arch" >/dev/null; kill "$xvfb"' EXIT
scripts/wine-prefix.sh start "$prefix" "$arch"
export WINEPREFIX="$prefix" WINEDEBUG=-all
# No window manager runs on Xvfb: Wine draws the windows' title bars itself.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null

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
