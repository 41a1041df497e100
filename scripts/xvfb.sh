#!/usr/bin/env bash
# Sourced by the test commands: the one place that starts X servers for the window tests.
#
# start_xvfb starts two private Xvfb servers and a run folder, and exports
#   DISPLAY           the server every window test uses; it never resets (a server that resets
#                     when its last client leaves refuses the next one for a moment);
#   WYD_BARE_DISPLAY  a server no other client uses, for the test of a display where no window
#                     manager ever ran: it resets when its last client leaves, forgetting every
#                     atom, so each run of that test finds it fresh;
#   TMPDIR            the run folder: the tests' temporary folders and locks go there.
# All of it is stopped and removed when the sourcing shell exits, whether the tests passed or not.
#
# Display numbers: WYD_XVFB_DISPLAYS=FIRST-LAST when set, else 90 and up. A number whose lock or
# socket exists is skipped; a server that dies while starting (another run took the number
# meanwhile) is followed by the next number.

WYD_XVFB_PIDS=()
WYD_RUN_DIR=""

# The numbers to try, one a line.
xvfb_display_candidates() {
  local range=${WYD_XVFB_DISPLAYS:-90-1000}
  local first=${range%-*} last=${range#*-}
  if ! [[ "$first" =~ ^[0-9]+$ && "$last" =~ ^[0-9]+$ ]] || [ "$first" -gt "$last" ]; then
    echo "WYD_XVFB_DISPLAYS must be FIRST-LAST, got '$range'" >&2
    return 1
  fi
  seq "$first" "$last"
}

# start_xvfb_on NUMBER [XVFB OPTIONS...] starts Xvfb on :NUMBER; succeeds once the server says
# it listens (it writes its number to -displayfd only then), fails when it dies first or stays
# silent for the deadline.
start_xvfb_on() {
  local number=$1 ready
  shift
  ready=$(mktemp "${WYD_RUN_DIR:-/tmp}/xvfb-ready.XXXXXX") || return 1
  Xvfb ":${number}" -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp "$@" 3>"$ready" >/dev/null 2>&1 &
  local pid=$! deadline=$((SECONDS + ${WYD_XVFB_START_SECONDS:-60}))
  while [ "$SECONDS" -lt "$deadline" ]; do
    if [ -s "$ready" ]; then
      rm -f "$ready"
      WYD_XVFB_PIDS+=("$pid")
      WYD_XVFB_STARTED_PID=$pid
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -f "$ready"
  return 1
}

# start_xvfb_server VARIABLE [XVFB OPTIONS...] starts a server on the first number that works and
# exports its name in VARIABLE.
start_xvfb_server() {
  local variable=$1 number candidates
  shift
  candidates=$(xvfb_display_candidates) || return 1
  for number in $candidates; do
    [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ] && continue
    if start_xvfb_on "$number" "$@"; then
      export "$variable=:${number}"
      echo "Xvfb on :${number} ($variable)"
      return 0
    fi
  done
  echo "could not start Xvfb on any display of ${WYD_XVFB_DISPLAYS:-90-1000}" >&2
  return 1
}

stop_xvfb() {
  local pid
  for pid in "${WYD_XVFB_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  WYD_XVFB_PIDS=()
  [ -n "$WYD_RUN_DIR" ] && rm -rf "$WYD_RUN_DIR"
  WYD_RUN_DIR=""
}

# Stops the servers and removes the run folder when the shell exits, also when interrupted.
stop_xvfb_at_exit() {
  trap stop_xvfb EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

start_xvfb() {
  stop_xvfb_at_exit
  WYD_RUN_DIR=$(mktemp -d "${TMPDIR:-/tmp}/wyd-test-run-XXXXXX") || return 1
  export TMPDIR=$WYD_RUN_DIR
  start_xvfb_server DISPLAY -noreset || return 1
  start_xvfb_server WYD_BARE_DISPLAY || return 1
}

# Run as a command, `bash scripts/xvfb.sh one` starts one more server, for a test that must own
# (and may stop) its X server: it prints the display's name as its first line and keeps the
# server until it is terminated.
if [ "${BASH_SOURCE[0]}" = "$0" ] && [ "${1:-}" = "one" ]; then
  stop_xvfb_at_exit
  start_xvfb_server WYD_ONE_DISPLAY >&2 || exit 1
  echo "$WYD_ONE_DISPLAY"
  # Returns when the server ends, or at once when a trapped signal arrives.
  wait "$WYD_XVFB_STARTED_PID"
fi
