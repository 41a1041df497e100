#!/usr/bin/env bash
# Sourced by the test command: one closing line per build from the output ctest left in a log.

# ctest_summary NAME LOG STATUS prints "NAME: P passed, F failed[: names]" from ctest's closing
# lines in LOG, or says that ctest gave none (it crashed or was stopped); STATUS is ctest's exit.
ctest_summary() {
  local name=$1 log=$2 status=$3 counts failed total names
  counts=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$counts" ]; then
    echo "$name: no test summary from ctest (exit status $status)"
    return
  fi
  failed=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$counts")
  total=$(sed -E 's/.*failed out of ([0-9]+).*/\1/' <<<"$counts")
  if [ "$failed" -eq 0 ]; then
    echo "$name: $((total - failed)) passed, 0 failed"
    return
  fi
  # The list after "The following tests FAILED:", one "<tab>  12 - Suite.Name (Failed)" a line.
  names=$(sed -n '/^The following tests FAILED:/,$p' "$log" \
    | sed -nE 's/^[[:space:]]+[0-9]+ - (.*) \([^)]*\)[[:space:]]*$/\1/p' | paste -sd ' ')
  echo "$name: $((total - failed)) passed, $failed failed: ${names:-(names not listed)}"
}
