#!/bin/sh
# Makes this machine run 32-bit x86 Linux programs, which 32-bit Wine (and so
# the product's tests) needs. Where the kernel runs them natively nothing is
# changed. Elsewhere Debian's qemu-i386 from bookworm-backports (bookworm's own
# 7.2 cannot run Wine), fetched through the machine's own mirror for bookworm,
# is registered for i386 ELF programs with binfmt_misc,
# with the F flag so that it serves in every mount namespace too. Only i386 is
# registered. Safe to run again; a registration does not survive a reboot.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
[ "$(id -u)" = 0 ] || { echo "setup-i386.sh: run as root" >&2; exit 1; }
. "$here/apt-retry.sh"

"$here/can-run-32bit.sh" && exit 0
die() {
  echo "setup-i386.sh: $*" >&2
  "$here/can-run-32bit.sh" --explain >&2
  exit 1
}

tab=$(printf '\t')
# suite_source <suite>: "<URI><tab><keyring or nothing>" of the first apt
# source for <suite>: a deb822 stanza in /etc/apt/sources.list.d/*.sources, or
# a one-line entry in /etc/apt/sources.list or /etc/apt/sources.list.d/*.list;
# status 1 when there is none.
suite_source() {
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v tab="$tab" -v suite="$1" '
      function flush() {
        s = " " suites " "; gsub(/[ \t]+/, " ", s)
        if (types ~ /(^| )deb( |$)/ && index(s, " " suite " ") && enabled != "no" && uri != "") {
          print uri tab signed; found = 1; exit
        }
        types = suites = uri = signed = enabled = ""
      }
      /^#/ { next }
      /^[ \t]*$/ { flush(); next }
      /^[^ \t]/ {
        key = tolower($1); sub(/:$/, "", key); value = $0; sub(/^[^:]*:[ \t]*/, "", value)
        if (key == "types") types = value
        else if (key == "suites") suites = value
        else if (key == "uris") { split(value, u, /[ \t]+/); uri = u[1] }
        else if (key == "signed-by" && value !~ /^-----/) signed = value
        else if (key == "enabled") enabled = tolower(value)
      }
      END { if (!found) flush(); exit !found }' "$f" && return 0
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk -v tab="$tab" -v suite="$1" '
      $1 == "deb" {
        signed = ""; i = 2
        if ($2 ~ /^\[/) {
          for (; i <= NF; i++) {
            if ($i ~ /^\[?signed-by=/) { signed = $i; sub(/^\[?signed-by=/, "", signed); sub(/\]$/, "", signed) }
            if ($i ~ /\]$/) { i++; break }
          }
        }
        if ($(i + 1) == suite) { print $i tab signed; found = 1; exit }
      }
      END { exit !found }' "$f" && return 0
  done
  return 1
}

# backports_source <URI><tab><keyring or nothing>: a deb822 source for
# bookworm-backports main there.
backports_source() {
  echo "Types: deb"
  echo "URIs: ${1%%"$tab"*}"
  echo "Suites: bookworm-backports"
  echo "Components: main"
  keyring=${1#*"$tab"}
  [ -z "$keyring" ] || echo "Signed-By: $keyring"
}

qemu=/usr/local/lib/launcher/qemu-i386
entry=launcher-i386
binfmt=/proc/sys/fs/binfmt_misc

if ! "$qemu" --version 2>/dev/null | grep -q 'version \(9\|[1-9][0-9]\)\.'; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  chmod 755 "$work"
  if ! backports=$(suite_source bookworm-backports); then
    # The machine's own mirror (and keyring) for bookworm serves the backports too.
    backports=$(suite_source bookworm) ||
      die "found no apt source for bookworm in /etc/apt/sources.list.d/*.sources, *.list or /etc/apt/sources.list to take the mirror of bookworm-backports from"
    backports_source "$backports" >/etc/apt/sources.list.d/bookworm-backports.sources
  fi
  # Only the backports list is refreshed, so that another suite's stale index
  # cannot stop this; the other lists stay as they are.
  mkdir "$work/sources"
  backports_source "$backports" >"$work/sources/bookworm-backports.sources"
  if ! apt_update "$work/update.log" -o Dir::Etc::sourcelist=/dev/null -o Dir::Etc::sourceparts="$work/sources" \
    -o APT::Get::List-Cleanup=0 >/dev/null; then
    stale=$(apt_failed_indexes "$work/update.log")
    die "the package list of bookworm-backports could not be refreshed (apt could not fetch ${stale:-it}), so the mirror is probably mid-sync; run the same command again later"
  fi
  # Only the static i386 emulator is taken from the package; nothing is installed.
  (cd "$work" && apt-get download -q qemu-user/bookworm-backports >/dev/null 2>&1 && ls qemu-user_*.deb >/dev/null 2>&1) ||
    die "cannot fetch qemu-user from bookworm-backports"
  dpkg-deb --fsys-tarfile "$work"/qemu-user_*.deb | tar -x -C "$work" ./usr/bin/qemu-i386
  install -D -m 755 "$work/usr/bin/qemu-i386" "$qemu"
fi

[ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt" ||
  die "cannot mount binfmt_misc on $binfmt"
[ -e "$binfmt/$entry" ] && echo -1 >"$binfmt/$entry"
# The i386 ELF header pattern: class 32-bit, little-endian, executable or shared object, machine 3.
printf '%s' ":$entry:M::\\x7f\\x45\\x4c\\x46\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\xfc\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$qemu:F" >"$binfmt/register" ||
  die "cannot register $qemu with binfmt_misc"

"$here/can-run-32bit.sh" || die "32-bit programs still do not run after registering $qemu"
echo "setup-i386.sh: this kernel cannot run 32-bit x86 programs, which 32-bit Wine needs, so $($qemu --version | head -1 | cut -d' ' -f1-3) from bookworm-backports now runs them (binfmt_misc entry $entry)"
