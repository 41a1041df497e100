#!/usr/bin/env bash
# Sourced by the test command: starts a private Xvfb for the window tests, exports DISPLAY and
# stops the server when the sourcing shell exits.
start_xvfb() {
  local n
  for n in $(seq 90 130); do
    [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ] && continue
    Xvfb ":${n}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    WYD_XVFB_PID=$!
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X${n}" ] && break
      sleep 0.1
    done
    if kill -0 "$WYD_XVFB_PID" 2>/dev/null; then
      export DISPLAY=":${n}"
      trap 'kill "$WYD_XVFB_PID" 2>/dev/null || true' EXIT
      echo "Xvfb on $DISPLAY"
      return 0
    fi
  done
  echo "could not start Xvfb" >&2
  return 1
}
