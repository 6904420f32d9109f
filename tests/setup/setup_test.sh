#!/bin/sh
# setup_test.sh <repository>: scripts/setup.sh against a mirror mid-sync, with
# stand-ins for apt-get, dpkg, dpkg-query, id and sleep first on PATH (no
# network, no root, no real pause). Its copy has a stand-in setup-i386.sh
# beside it, so that nothing of this machine changes.
set -eu
root=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/launcher-setup-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "setup_test: $*" >&2; exit 1; }

mkdir "$work/bin" "$work/scripts"
cp "$root/scripts/setup.sh" "$root/scripts/apt-retry.sh" "$work/scripts/"
stand_in() { cat >"$work/$1"; chmod +x "$work/$1"; }
stand_in scripts/setup-i386.sh <<'EOF'
#!/bin/sh
echo "setup-i386.sh" >>"$CALLS"
EOF
stand_in bin/id <<'EOF'
#!/bin/sh
echo 0
EOF
stand_in bin/sleep <<'EOF'
#!/bin/sh
echo "sleep $*" >>"$CALLS"
EOF
stand_in bin/dpkg <<'EOF'
#!/bin/sh
EOF
stand_in bin/dpkg-query <<'EOF'
#!/bin/sh
for p; do :; done
case " $MISSING " in *" $p "*) exit 1 ;; esac
printf 'install ok installed'
EOF
# The machine's sources, which apt-config finds through APT_CONFIG.
mkdir -p "$work/etc/sources.list.d"
cat >"$work/etc/sources.list" <<'EOF'
deb [arch=amd64,i386 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
deb [arch=amd64,i386 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian-security bookworm-security contrib
EOF
cat >"$work/etc/sources.list.d/extra.list" <<'EOF'
deb http://deb.debian.org/debian bookworm-backports main
deb-src http://deb.debian.org/debian-security bookworm-security main
EOF
cat >"$work/etc/sources.list.d/debian.sources" <<'EOF'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
EOF
cp -R "$work/etc" "$work/etc.orig"
cat >"$work/etc.without" <<'EOF'
deb [arch=amd64,i386 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm-updates main
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
deb http://deb.debian.org/debian bookworm-backports main
EOF
printf 'Dir::Etc::sourcelist "%s";\nDir::Etc::sourceparts "%s";\n' "$work/etc/sources.list" "$work/etc/sources.list.d" >"$work/apt.conf"

# Updates fail UPDATE_FAILURES times (with the lines apt prints when a mirror
# is mid-sync); the install exits with INSTALL_STATUS, or with "stale" fails
# unless the sources it reads are the machine's less bookworm-security.
stand_in bin/apt-get <<'EOF'
#!/bin/sh
list=$ETC/sources.list parts=$ETC/sources.list.d
for a; do
  case $a in
  Dir::Etc::sourcelist=*) list=${a#*=} ;;
  Dir::Etc::sourceparts=*) parts=${a#*=} ;;
  esac
done
echo "apt-get $*" | sed 's/ -o [^ ]*//g' >>"$CALLS"
case $1 in
update)
  [ "$(grep -c '^apt-get update' "$CALLS")" -gt "$UPDATE_FAILURES" ] && exit 0
  echo "Err:6 http://deb.debian.org/debian-security bookworm-security/main i386 Packages"
  echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 203.0.113.80 80]" >&2
  echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
  exit 100 ;;
install)
  [ "$INSTALL_STATUS" = stale ] || exit "$INSTALL_STATUS"
  cat "$list" "$parts"/* | grep -v '^$' | cmp -s - "$ETC.without" || exit 100 ;;
esac
EOF

# <update failures>|<install status or "stale">|<setup.sh status>|<its calls, in order>|<a line of its output (ERE)>
while IFS='|' read -r failures install status calls line; do
  what="$failures failed updates, install status $install"
  : >"$work/calls"
  got=0
  CALLS=$work/calls ETC=$work/etc APT_CONFIG=$work/apt.conf UPDATE_FAILURES=$failures INSTALL_STATUS=$install MISSING="cmake wine32:i386" \
    SETUP_RETRY_PAUSE=4 PATH="$work/bin:$PATH" sh "$work/scripts/setup.sh" >"$work/out" 2>&1 || got=$?
  [ "$got" = "$status" ] || fail "$what: status $got, not $status: $(cat "$work/out")"
  got=$(sed 's/ -[^ ]*//g' "$work/calls" | paste -sd';')
  [ "$got" = "$calls" ] || fail "$what: calls $got, not $calls"
  grep -Eq "$line" "$work/out" || fail "$what: no line matching $line in: $(cat "$work/out")"
  diff -r "$work/etc.orig" "$work/etc" >&2 || fail "$what: the machine's sources changed"
done <<'EOF'
0|0|0|apt-get update;apt-get install cmake wine32:i386;setup-i386.sh|^setup.sh: all build and test packages are present$
2|0|0|apt-get update;sleep 4;apt-get update;sleep 6;apt-get update;apt-get install cmake wine32:i386;setup-i386.sh|^setup.sh: apt-get update failed .*mid-sync.*again
9|0|0|apt-get update;sleep 4;apt-get update;sleep 6;apt-get update;apt-get install cmake wine32:i386;setup-i386.sh|^setup.sh: not all package lists could be refreshed \(apt could not fetch bookworm-security/main i386\)
9|stale|0|apt-get update;sleep 4;apt-get update;sleep 6;apt-get update;apt-get install cmake wine32:i386;apt-get install cmake wine32:i386;setup-i386.sh|^setup.sh: installing without bookworm-security, whose index the mirror serves stale .*bookworm-security/main i386.*apt-get update && apt-get upgrade once it is whole$
9|100|1|apt-get update;sleep 4;apt-get update;sleep 6;apt-get update;apt-get install cmake wine32:i386;apt-get install cmake wine32:i386|^setup.sh: .*could not be installed.*fetch bookworm-security/main i386, .*mirror is probably mid-sync.*again later$
0|100|1|apt-get update;apt-get install cmake wine32:i386|^setup.sh: apt-get install failed
EOF
echo "setup_test: setup.sh retries a failed apt-get update with growing pauses, goes on with the lists apt has, installs without a stale suite, and stops naming the stale index only when that fails too"
