#!/bin/sh
# Installs what the build and the tests need on Debian 12. Safe to run again.
set -eu
[ "$(id -u)" = 0 ] || { echo "setup.sh: run as root" >&2; exit 1; }

packages="cmake ninja-build g++ make file procps
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  wine wine64 wine32:i386
  openjdk-17-jdk-headless
  googletest libgtest-dev libbenchmark-dev libssl-dev
  clang libclang-rt-14-dev nlohmann-json3-dev unicode-data
  osslsigncode openssl"

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
  apt-get update -q
  # shellcheck disable=SC2086
  apt-get install -y -q --no-install-recommends $missing
fi
echo "setup.sh: all build and test packages are present"
# The product is 32-bit: its tests need a machine that runs 32-bit programs.
"$(dirname "$0")/setup-i386.sh"
