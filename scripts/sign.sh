#!/bin/sh
# sign.sh <pkcs12-file> <password-file> [<exe>]: Authenticode (SHA-256)
# signature on <exe> (default dist/launcher.exe), in place.
#
# The password file holds the PKCS#12 password and nothing else (a final line
# end is ignored); osslsigncode gets the file's name, so the password is on no
# command line. With LAUNCHER_TIMESTAMP_URL set, an RFC 3161 time-stamp
# server counter-signs.
# On any failure the executable is left as it was.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "sign.sh: $*" >&2; exit 1; }

[ $# = 2 ] || [ $# = 3 ] || { echo "usage: $0 <pkcs12-file> <password-file> [<exe>]" >&2; exit 2; }
p12=$1; pass=$2; exe=${3:-$(dirname "$here")/dist/launcher.exe}

[ -f "$p12" ] && [ -r "$p12" ] || fail "no readable PKCS#12 file at $p12"
[ -f "$pass" ] && [ -r "$pass" ] || fail "no readable password file at $pass"
[ -f "$exe" ] || fail "no executable at $exe (build the windows preset first)"
command -v osslsigncode >/dev/null || fail "osslsigncode is not installed (scripts/setup.sh installs it)"

# Signed into a folder beside the executable, so the final move is a rename.
work=$(mktemp -d "$(dirname "$exe")/.sign.XXXXXX" 2>/dev/null) || fail "cannot write in the folder of $exe"
trap 'rm -rf "$work"' EXIT
trap 'exit 1' HUP INT TERM
signed="$work/$(basename "$exe")"

set -- sign -pkcs12 "$p12" -readpass "$pass" -h sha256
if [ -n "${LAUNCHER_TIMESTAMP_URL:-}" ]; then
  set -- "$@" -ts "$LAUNCHER_TIMESTAMP_URL"
fi
if ! osslsigncode "$@" -in "$exe" -out "$signed" >"$work/log" 2>&1 || [ ! -s "$signed" ]; then
  if grep -q "PKCS#12" "$work/log"; then
    reason="cannot open $p12: wrong password, or not a PKCS#12 file"
  elif grep -qi "timestamp" "$work/log"; then
    reason="the time-stamp server $LAUNCHER_TIMESTAMP_URL gave no time stamp"
  else
    reason="osslsigncode failed"
  fi
  sed 's/^/  osslsigncode: /' "$work/log" >&2
  fail "$reason; $exe is unchanged"
fi
chmod --reference="$exe" "$signed"
mv -f "$signed" "$exe"
echo "sign.sh: signed $exe${LAUNCHER_TIMESTAMP_URL:+ (time stamp from $LAUNCHER_TIMESTAMP_URL)}"
