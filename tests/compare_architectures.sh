#!/usr/bin/env bash
# Renders the same signal with the same settings through this build's plug-in and through the
# plug-in of another build (the other architecture), each with its own build of the test host,
# and requires the two outputs to be equal byte for byte.
# Usage: compare_architectures.sh RENDER PLUGIN OTHER_RENDER OTHER_PLUGIN
set -euo pipefail
render=$1 plugin=$2 other_render=$3 other_plugin=$4
for f in "$render" "$plugin" "$other_render" "$other_plugin"; do
  [ -e "$f" ] || { echo "missing $f (build the other architecture first)"; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

all_off=(--set tolmOn=0 --set braskOn=0 --set saturationOn=0)
eq_only=(--set tolmOn=1 --set tolmLowPeak=0.7 --set tolmMidDip=0.4 --set tolmHighPeak=0.6
         --set braskOn=1 --set braskLowBoost=0.5 --set braskLowAtten=0.3 --set braskHighBoost=0.8
         --set braskHighBoostBandwidth=0.2 --set braskHighAtten=0.4 --set saturationOn=0)
hot=(--set inputVol=1 --set saturationOn=1 --set saturationAutoLevelOn=0 --set phaseOn=1
     --set outputVol=0.3 --set tolmMidFreq=0.9 --set braskHighAttenFreq=1)

failed=0 passed=0
run_case() {
  local name=$1; shift
  "$render" "$plugin" --out "$work/$name.a.wav" --seconds 1.5 "$@" >/dev/null
  "$other_render" "$other_plugin" --out "$work/$name.b.wav" --seconds 1.5 "$@" >/dev/null
  if cmp -s "$work/$name.a.wav" "$work/$name.b.wav"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "DIFFERENT: $name ($*)"
    cmp "$work/$name.a.wav" "$work/$name.b.wav" | head -n 1 || true
  fi
}

for rate in 44100 48000 96000 192000; do
  run_case "demo-$rate" --rate "$rate"
  run_case "eq-$rate" --rate "$rate" --block 64 "${eq_only[@]}"
  run_case "off-$rate" --rate "$rate" --block 333 "${all_off[@]}"
  run_case "hot-$rate" --rate "$rate" --block 1 "${hot[@]}"
done
echo "architectures: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
