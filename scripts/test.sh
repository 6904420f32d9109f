#!/bin/sh
# Sets up, builds every preset and runs every test with ctest.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)
for preset in windows windows64 host host-asan fuzz; do
  echo "=== configure and build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
status=0
for preset in windows windows64 host host-asan fuzz; do
  echo "=== test: $preset"
  ctest --preset "$preset" || status=1
done
exit $status
