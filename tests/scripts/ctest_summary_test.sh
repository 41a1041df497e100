#!/usr/bin/env bash
# The test command's closing line per build, from logs shaped as ctest writes them.
set -euo pipefail
source "$(dirname "$0")/../../scripts/ctest-summary.sh"
log=$(mktemp "${TMPDIR:-/tmp}/wyd-summary-test.XXXXXX")
trap 'rm -f "$log"' EXIT
fails=0
expect() {
  local got
  got=$(ctest_summary "$1" "$log" "$2")
  if [ "$got" != "$3" ]; then
    echo "expected: $3"
    echo "got:      $got"
    fails=1
  fi
}

cat >"$log" <<'LOG'
100% tests passed, 0 tests failed out of 812

Total Test time (real) =  95.10 sec
LOG
expect 64-bit 0 "64-bit: 812 passed, 0 failed"

cat >"$log" <<'LOG'
        Start 7: EditorKeyboard.Typing
7/9 Test #7: EditorKeyboard.Typing ......***Failed    3.20 sec
99% tests passed, 2 tests failed out of 9

Total Test time (real) =  12.00 sec

The following tests FAILED:
	  7 - EditorKeyboard.Typing (Failed)
	  9 - Architectures.RendersAreBitIdentical (SEGFAULT)
Errors while running CTest
LOG
expect 32-bit 8 "32-bit: 7 passed, 2 failed: EditorKeyboard.Typing Architectures.RendersAreBitIdentical"

cat >"$log" <<'LOG'
Test project /x/build
        Start 1: Dsp.Something
LOG
expect 64-bit 130 "64-bit: no test summary from ctest (exit status 130)"

exit "$fails"
