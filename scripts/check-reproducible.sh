#!/bin/sh
# Shows that launcher.exe depends only on the commit and the build options.
#
#   scripts/check-reproducible.sh
#       builds the product of HEAD twice, from two copies in two temporary
#       folders (paths of different lengths, another TZ and umask), one after
#       the other, and compares launcher.exe and launcher.exe.debug.
#   scripts/check-reproducible.sh --rebuild <build folder>
#       the cheap part the tests run: configures a second folder from the same
#       sources with the options of <build folder>, builds launcher.exe there
#       and compares it with <build folder>'s.
#
# JOBS (default 2) sets the build's parallelism; KEEP=1 keeps the folders.
set -eu
jobs=${JOBS:-2}
here=$(cd "$(dirname "$0")" && pwd)

say() { echo "check-reproducible: $*"; }

# compare <first exe> <second exe>: both files and their .debug files.
compare() {
  status=0
  for suffix in "" .debug; do
    a=$1$suffix; b=$2$suffix
    if cmp -s "$a" "$b"; then
      say "identical: $(sha256sum <"$a" | cut -d' ' -f1)  $(basename "$a") ($(wc -c <"$a") bytes)"
    else
      say "DIFFERENT: $(basename "$a"): $(cmp -l "$a" "$b" 2>&1 | wc -l) bytes differ; first ones (offset, octal bytes):"
      cmp -l "$a" "$b" 2>&1 | head -5
      status=1
    fi
  done
  if [ "$status" = 0 ]; then
    say "launcher.exe is reproducible"
  else
    say "launcher.exe is NOT reproducible"
  fi
  return "$status"
}

cleanup() { if [ "${KEEP:-0}" != 1 ] && [ -n "${work:-}" ]; then rm -rf "$work"; fi; }
work=""
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

if [ "${1:-}" = --rebuild ]; then
  [ $# = 2 ] || { echo "usage: $0 --rebuild <build folder>" >&2; exit 2; }
  first=$(cd "$2" && pwd)
  cache="$first/CMakeCache.txt"
  [ -f "$cache" ] && [ -f "$first/native/launcher.exe" ] || {
    echo "check-reproducible: $first holds no built launcher.exe" >&2; exit 2; }
  source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")
  # Same toolchain and options; no tests, and no copy into the first one's dist/.
  set --
  while IFS= read -r line; do
    case "$line" in
      LAUNCHER_DIST_DIR:* | LAUNCHER_BUILD_TESTS:* | LAUNCHER_*:INTERNAL=*) ;;
      LAUNCHER_*:*=* | CMAKE_BUILD_TYPE:*=* | CMAKE_TOOLCHAIN_FILE:*=* | CMAKE_*_FLAGS:*=* | CMAKE_*_FLAGS_*:*=*)
        set -- "$@" "-D$line" ;;
    esac
  done <"$cache"
  work=$(mktemp -d "${TMPDIR:-/tmp}/launcher-rebuild.XXXXXX")
  second="$work/build"
  say "second build of $source_dir in $second"
  cmake -S "$source_dir" -B "$second" -G Ninja "$@" -DLAUNCHER_BUILD_TESTS=OFF -DLAUNCHER_DIST_DIR= >"$work/configure.log" 2>&1 ||
    { cat "$work/configure.log" >&2; exit 1; }
  cmake --build "$second" -j "$jobs" --target launcher >"$work/build.log" 2>&1 ||
    { cat "$work/build.log" >&2; exit 1; }
  compare "$first/native/launcher.exe" "$second/native/launcher.exe"
  exit
fi

[ $# = 0 ] || { echo "usage: $0 [--rebuild <build folder>]" >&2; exit 2; }
cd "$here/.."
commit=$(git rev-parse HEAD)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  say "note: uncommitted changes are not part of the check, which builds $commit"
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/launcher-reproducible.XXXXXX")

# build <folder> <TZ> <umask>: the windows preset from a fresh copy of HEAD.
build() {
  mkdir -p "$1"
  git archive "$commit" | tar -x -C "$1"
  say "$(date -u '+%H:%M:%S') building $commit in $1 (TZ=$2, umask $3)"
  (cd "$1" && umask "$3" && export TZ="$2" &&
    cmake --preset windows >"$1/configure.log" 2>&1 &&
    cmake --build --preset windows -j "$jobs" --target launcher_dist >"$1/build.log" 2>&1) ||
    { tail -30 "$1/configure.log" "$1/build.log" >&2 2>/dev/null; exit 1; }
}
build "$work/one" UTC 022
build "$work/the-second-copy-of-the-sources" Pacific/Auckland 077
compare "$work/one/dist/launcher.exe" "$work/the-second-copy-of-the-sources/dist/launcher.exe"
