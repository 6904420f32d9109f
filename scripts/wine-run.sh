#!/bin/sh
# Runs a Windows program under Wine, choosing 32- or 64-bit Wine by the
# program's PE machine type. Exit 77 when this machine cannot run that kind
# of program at all.
set -eu
exe=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
machine=$("$here/pe-machine.sh" "$exe")
: "${WINEDEBUG:=-all}"
export WINEDEBUG
: "${WINEPREFIX:=${HOME:-/root}/.wine-launcher-tests}"
export WINEPREFIX
# Wine shows windows on the display only where one is asked for
# (LAUNCHER_WINE_DISPLAY); without one an error window returns at once, so
# that no run waits for a person.
if [ -n "${LAUNCHER_WINE_DISPLAY:-}" ]; then
  DISPLAY=$LAUNCHER_WINE_DISPLAY
  export DISPLAY
else
  unset DISPLAY WAYLAND_DISPLAY
fi
case "$machine" in
  x86_64) loader=/usr/lib/wine/wine64 ;;
  i386)
    if ! "$here/can-run-32bit.sh"; then
      # A skip for a developer running one program by hand; ctest counts it a failure.
      echo "wine-run: skipped $exe:" >&2
      "$here/can-run-32bit.sh" --explain >&2
      exit 77
    fi
    loader=/usr/lib/wine/wine ;;
  *) echo "wine-run: $exe is not a PE32/PE32+ x86 program" >&2; exit 2 ;;
esac
case "$exe" in
  */*) ;;
  *) exe=./$exe ;;
esac
exec "$loader" "$exe" "$@"
