#!/usr/bin/env bash
# Set-up, build and every test, for the native 64-bit build and the 32-bit Intel build.
# Usage: scripts/test.sh [--native-only]
set -euo pipefail
cd "$(dirname "$0")/.."

both=1
[ "${1:-}" = "--native-only" ] && both=0

if [ "$both" -eq 1 ]; then bash scripts/setup.sh --i386; else bash scripts/setup.sh; fi
jobs=$(nproc)

# The window tests need an X server; the rest run without one as well.
source scripts/xvfb.sh
start_xvfb

echo "== 64-bit build and tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

if [ "$both" -eq 1 ]; then
  echo "== 32-bit build and tests"
  cmake -S . -B build-i386 -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/i386-linux-gnu.cmake -DWYD_BUILD_BENCH=OFF \
    -DWYD_REFERENCE_BUILD="$PWD/build"
  cmake --build build-i386 -j "$jobs"
  ctest --test-dir build-i386 --output-on-failure -j "$jobs"
fi
