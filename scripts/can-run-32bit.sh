#!/bin/sh
# True when this machine can execute 32-bit x86 Linux programs (32-bit Wine needs it).
[ -x /usr/lib/wine/wine ] || exit 1
/usr/lib/wine/wine --version >/dev/null 2>&1
