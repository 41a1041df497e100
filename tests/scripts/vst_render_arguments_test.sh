#!/usr/bin/env bash
# vst-render's arguments: --help shows the usage, a --set value that is not a number is refused.
# Usage: vst_render_arguments_test.sh VST-RENDER PLUGIN.so
set -uo pipefail
render=$1 plugin=$2
out=$(mktemp -d "${TMPDIR:-/tmp}/wyd-render-args-XXXXXX")
trap 'rm -rf "$out"' EXIT
fails=0
fail() { echo "FAILED: $*"; fails=1; }

"$render" --help >"$out/help" 2>&1 && grep -q "^usage: vst-render PLUGIN.so" "$out/help" \
  || fail "--help: $(cat "$out/help")"

for value in abc "" 0.5x nan inf; do
  "$render" "$plugin" --out "$out/never.wav" --set "inputVol=$value" >"$out/set" 2>&1
  status=$?
  [ "$status" -eq 2 ] || fail "--set inputVol=$value: exit status $status"
  grep -q "inputVol=$value: the value is not a number" "$out/set" || fail "--set inputVol=$value: $(cat "$out/set")"
  [ ! -e "$out/never.wav" ] || fail "--set inputVol=$value rendered anyway"
done

"$render" "$plugin" --out "$out/number.wav" --seconds 0.1 --set "inputVol=0.25" >"$out/number" 2>&1 \
  || fail "--set inputVol=0.25: $(cat "$out/number")"
exit "$fails"
