#!/usr/bin/env bash
# Set-up, build and every test, for the native 64-bit build and the 32-bit Intel build; ends with
# one line per build (passed and failed counts, the failed tests' names) and a non-zero exit
# status when anything failed.
# Usage: scripts/test.sh [--native-only]
# The X servers come from scripts/xvfb.sh (WYD_XVFB_DISPLAYS=FIRST-LAST picks their numbers).
set -euo pipefail
cd "$(dirname "$0")/.."

both=1
[ "${1:-}" = "--native-only" ] && both=0

if [ "$both" -eq 1 ]; then bash scripts/setup.sh --i386; else bash scripts/setup.sh; fi
jobs=$(nproc)

# The window tests need X servers; the rest run without them as well.
source scripts/xvfb.sh
start_xvfb
source scripts/ctest-summary.sh

summary=()
failed=0

# build_and_test NAME FOLDER [CMAKE ARGUMENTS...]: configures, builds and runs ctest, and records
# the build's closing line.
build_and_test() {
  local name=$1 dir=$2
  shift 2
  echo "== $name build and tests"
  if ! cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" || ! cmake --build "$dir" -j "$jobs"; then
    summary+=("$name: the build failed, no tests ran")
    failed=1
    return
  fi
  local log="$TMPDIR/ctest-$name.log" status=0
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" 2>&1 | tee "$log" || status=$?
  summary+=("$(ctest_summary "$name" "$log" "$status")")
  [ "$status" -eq 0 ] || failed=1
}

build_and_test 64-bit build
if [ "$both" -eq 1 ]; then
  build_and_test 32-bit build-i386 -DCMAKE_TOOLCHAIN_FILE=cmake/i386-linux-gnu.cmake -DWYD_BUILD_BENCH=OFF \
    -DWYD_REFERENCE_BUILD="$PWD/build"
fi

echo "== summary"
printf '%s\n' "${summary[@]}"
exit "$failed"
