#!/bin/sh
# Installs what the build and the tests need on Debian 12. Safe to run again.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/apt-retry.sh"
[ "$(id -u)" = 0 ] || { echo "setup.sh: run as root" >&2; exit 1; }

# xvfb: a display for the error window of a failed desktop start (the demo and
# its Wine test); x11-apps (xwd) and netpbm: the demo's picture of it, a PNG.
packages="cmake ninja-build g++ make file procps
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  wine wine64 wine32:i386
  openjdk-17-jdk-headless
  googletest libgtest-dev libbenchmark-dev libssl-dev
  clang libclang-rt-14-dev nlohmann-json3-dev unicode-data
  osslsigncode openssl
  xvfb x11-apps netpbm"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing="$missing $p"
  fi
done

if [ -n "$missing" ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # A stale index need not stop the set-up: what is missing may well be in
  # the lists apt already has.
  stale=""
  suites=""
  if ! apt_update "$work/update.log"; then
    stale=$(apt_failed_indexes "$work/update.log")
    suites=$(apt_stale_suites "$stale")
    stale=${stale:-"some package lists"}
    echo "setup.sh: not all package lists could be refreshed (apt could not fetch $stale); going on with the lists apt has" >&2
  fi
  # shellcheck disable=SC2086
  if ! apt-get install -y -q --no-install-recommends $missing; then
    # Without a suite's index of one architecture apt still takes that suite's
    # versions for the others, and a Multi-Arch: same pair (zlib1g and
    # zlib1g:i386) cannot agree: the install goes through only without the
    # suite, from the versions the other suites have.
    if [ -z "$suites" ]; then
      if [ -n "$stale" ]; then
        echo "setup.sh: the packages could not be installed from the lists apt has: it could not fetch $stale, so the mirror is probably mid-sync; run the same command again later" >&2
      else
        echo "setup.sh: apt-get install failed (see its messages above)" >&2
      fi
      exit 1
    fi
    named=$(echo "$suites" | sed 's/ /, /g')
    echo "setup.sh: installing without $named, whose index the mirror serves stale (apt could not fetch $stale); run apt-get update && apt-get upgrade once it is whole" >&2
    # shellcheck disable=SC2086
    without=$(apt_sources_without "$work/sources" $suites)
    # shellcheck disable=SC2086
    if ! apt-get install -y -q --no-install-recommends $without $missing; then
      echo "setup.sh: the packages could not be installed, neither from the lists apt has nor without $named: apt could not fetch $stale, so the mirror is probably mid-sync; run the same command again later" >&2
      exit 1
    fi
  fi
fi
echo "setup.sh: all build and test packages are present"
# The product is 32-bit: its tests need a machine that runs 32-bit programs.
"$here/setup-i386.sh"
