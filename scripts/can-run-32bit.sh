#!/bin/sh
# can-run-32bit.sh [--explain | --how]
# True when this machine can execute 32-bit x86 Linux programs, natively or
# through a registered emulator (32-bit Wine needs it). --explain prints what
# to do when it cannot; --how prints how they run ("native" or the emulator).
if [ "${1:-}" = --how ]; then
  # Our own entry first: with several, the newest registered is the one used.
  for e in /proc/sys/fs/binfmt_misc/launcher-i386 /proc/sys/fs/binfmt_misc/*; do
    case "$e" in */register|*/status) continue ;; esac
    [ -f "$e" ] || continue
    [ "$(head -1 "$e" 2>/dev/null)" = enabled ] || continue
    grep -q '^magic 7f454c4601010100000000000000000002000300' "$e" 2>/dev/null || continue
    interp=$(sed -n 's/^interpreter //p' "$e")
    echo "emulated by $interp ($("$interp" --version 2>/dev/null | head -1))"
    exit 0
  done
  echo native
  exit 0
fi
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  exit 0
fi
if [ "${1:-}" = --explain ]; then
  echo "This machine cannot run 32-bit x86 programs, so 32-bit Wine cannot run the 32-bit launcher.exe and its tests."
  echo "Use a machine whose kernel runs 32-bit code, or run scripts/setup.sh as root: it registers Debian's qemu-i386 (bookworm-backports) for 32-bit programs."
fi
exit 1
