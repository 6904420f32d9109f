#!/bin/sh
# wine-prefix.sh start|stop <prefix> <win32|win64>
# start: makes the prefix once (wineboot) and keeps a wineserver running, so
# services live between commands, its windows on the X display named by
# LAUNCHER_WINE_DISPLAY when that is set; stop: shuts that wineserver down.
set -eu
action=$1; prefix=$2; arch=$3
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="$prefix" WINEDEBUG=-all
# Wine shows windows on a display only where one is asked for
# (LAUNCHER_WINE_DISPLAY, from the server's first process on); without one an
# error window returns at once, so that no run waits for a person. wineboot
# never has one: it would wait for a click on its offer to install Mono.
unset DISPLAY WAYLAND_DISPLAY
case "$arch" in
  win64) loader=/usr/lib/wine/wine64 ;;
  win32)
    if [ "$action" = start ] && ! "$here/can-run-32bit.sh"; then
      "$here/can-run-32bit.sh" --explain >&2
      exit 1
    fi
    loader=/usr/lib/wine/wine ;;
  *) echo "wine-prefix: unknown arch $arch" >&2; exit 2 ;;
esac
# The 64-bit server serves 32-bit prefixes too, and runs natively where
# 32-bit code is emulated.
server=/usr/lib/wine/wineserver64
[ -x "$server" ] || server=/usr/lib/wine/wineserver32
case "$action" in
  start)
    mkdir -p "$(dirname "$prefix")"
    # Wine's background processes must not hold the caller's output open
    # (ctest waits for it to close): they get a log file; we keep fd 3.
    exec 3>&1 >"$prefix.start.log" 2>&1
    # Several build trees may share a machine: one wineboot per prefix at a time.
    exec 9>"$prefix.lock"
    flock 9
    if [ ! -f "$prefix/system.reg" ] || [ ! -d "$prefix/drive_c/windows" ]; then
      rm -rf "$prefix"
      WINEARCH=$arch timeout 300 "$loader" wineboot -i 3>&- 9>&- || true
      # The registry reaches the disk when the server that wineboot started ends.
      timeout 120 "$server" -w 3>&- 9>&- || true
      [ -f "$prefix/system.reg" ] || { cat "$prefix.start.log" >&3; echo "wine-prefix: wineboot failed for $prefix" >&3; exit 1; }
    fi
    exec 9>&-
    if [ -n "${LAUNCHER_WINE_DISPLAY:-}" ]; then
      DISPLAY=$LAUNCHER_WINE_DISPLAY
      export DISPLAY
    fi
    # Detached, and off ctest's output pipe, which it would otherwise hold open.
    setsid "$server" -p </dev/null 3>&- 9>&- &
    # wineboot returns before the server has settled; wait for it to answer.
    timeout 120 "$loader" cmd /c exit 0 </dev/null 3>&- 9>&- || true
    echo "wine-prefix: $prefix ready" >&3
    ;;
  stop)
    "$server" -k 2>/dev/null || true
    echo "wine-prefix: $prefix stopped"
    ;;
esac
