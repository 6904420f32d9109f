#!/bin/sh
# Sets up, builds every preset and runs every test with ctest.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
# The Windows-side tests run the 32-bit product: without 32-bit execution the
# run would prove nothing about it, so it stops here rather than skip them.
if ! scripts/can-run-32bit.sh; then
  scripts/can-run-32bit.sh --explain >&2
  exit 1
fi
echo "test.sh: 32-bit programs on this machine: $(scripts/can-run-32bit.sh --how)"
jobs=$(nproc)
for preset in windows host host-asan fuzz; do
  echo "=== configure and build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
# The x86-64 twin: a compile check that the code is not 32-bit-only.
echo "=== configure and build: windows64 (compile check)"
cmake --preset windows64 >/dev/null
cmake --build --preset windows64 -j "$jobs" --target launcher
status=0
for preset in windows host host-asan fuzz; do
  echo "=== test: $preset"
  ctest --preset "$preset" || status=1
done
exit $status
