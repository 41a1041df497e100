#!/usr/bin/env bash
# Builds the plug-in with its wrapper and editor test programs under AddressSanitizer with
# UndefinedBehaviorSanitizer (build-asan/) and under ThreadSanitizer (build-tsan/), and runs them
# on a private Xvfb. Not part of scripts/test.sh: each build takes minutes and the runs are slow.
# Usage: scripts/sanitize.sh [asan] [tsan]   (both when none is named); JOBS=n sets the build's -j.
set -euo pipefail
cd "$(dirname "$0")/.."

kinds=("$@")
[ ${#kinds[@]} -eq 0 ] && kinds=(asan tsan)
jobs=${JOBS:-4}
root=$PWD

# The programs that drive the plug-in and its editor; the plug-in itself is loaded by them.
targets=(wyd_kx7_vst wrapper_tests wrapper_editor_tests ui_tests ui_widget_tests)
runs=("tests/wrapper/wrapper_tests"
      "tests/wrapper/wrapper_editor_tests"
      "tests/ui_tests"
      "tests/ui_widget_tests")

source scripts/xvfb.sh
start_xvfb

failed=0
for kind in "${kinds[@]}"; do
  case "$kind" in
    asan) flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
          scale=3 ;;
    tsan) flags="-fsanitize=thread"
          scale=10 ;;
    *) echo "unknown sanitizer run: $kind (asan or tsan)" >&2; exit 2 ;;
  esac
  dir=build-$kind
  echo "== $kind: configure and build in $dir"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWYD_BUILD_BENCH=OFF \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
    -DCMAKE_SHARED_LINKER_FLAGS="$flags" -DCMAKE_MODULE_LINKER_FLAGS="$flags" >/dev/null
  cmake --build "$dir" -j "$jobs" --target "${targets[@]}"

  # The editor tests wait for windows and clicks; instrumented JUCE draws many times slower.
  export WYD_TEST_WAIT_SCALE=$scale
  # halt_on_error: the first report fails the program, so no report goes unnoticed in the log.
  export ASAN_OPTIONS="halt_on_error=1:detect_stack_use_after_return=1"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/scripts/sanitizers/tsan.supp"
  for run in "${runs[@]}"; do
    read -r program arguments <<<"$run"
    echo "== $kind: $run"
    # shellcheck disable=SC2086 # the arguments are words
    if ! "$dir/$program" --gtest_brief=1 $arguments; then
      echo "== $kind: $run FAILED"
      failed=1
    fi
  done
done

if [ "$failed" -ne 0 ]; then
  echo "sanitizer runs: FAILED"
  exit 1
fi
echo "sanitizer runs: clean"
