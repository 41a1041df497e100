#!/usr/bin/env bash
# The one allocator of X servers (scripts/xvfb.sh): its range, a number already taken, a server
# that dies while starting, and the clean-up when the sourcing shell ends.
set -uo pipefail
command -v Xvfb >/dev/null || { echo "no Xvfb"; exit 77; }
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/wyd-xvfb-test-XXXXXX")
trap 'rm -rf "$work"' EXIT
fails=0
check() { # check WHAT COMMAND...: fails the test when the command fails
  local what=$1
  shift
  if ! "$@"; then
    echo "FAILED: $what"
    fails=1
  fi
}
listening() { [ -S "/tmp/.X11-unix/X${1#:}" ]; }
in_range() { local n=${1#:}; [ "$n" -ge "$2" ] && [ "$n" -le "$3" ]; }

# A number already taken is skipped, and the range is kept.
(
  source "$root/scripts/xvfb.sh"
  start_xvfb >/dev/null
  export WYD_XVFB_DISPLAYS=600-699
  start_xvfb_server FIRST >/dev/null && start_xvfb_server SECOND >/dev/null || exit 1
  check "both servers listen" listening "$FIRST"
  check "both servers listen" listening "$SECOND"
  check "the second server has a number of its own" test "$FIRST" != "$SECOND"
  check "the range is kept" in_range "$SECOND" 600 699
  exit "$fails"
) || fails=1

# A server that dies while starting (another run took its number first) is followed by the next
# number: a stand-in Xvfb dies on its first start.
mkdir -p "$work/bin"
cat >"$work/bin/Xvfb" <<STUB
#!/usr/bin/env bash
if [ ! -e "$work/died-once" ]; then touch "$work/died-once"; exit 1; fi
exec $(command -v Xvfb) "\$@"
STUB
chmod +x "$work/bin/Xvfb"
(
  PATH="$work/bin:$PATH"
  source "$root/scripts/xvfb.sh"
  export WYD_XVFB_DISPLAYS=700-799
  start_xvfb_server AFTER_DEATH >/dev/null || { echo "FAILED: no server after one died"; exit 1; }
  check "the first start died" test -e "$work/died-once"
  check "the next one listens" listening "$AFTER_DEATH"
  stop_xvfb
  exit "$fails"
) || fails=1

# A wrong range is refused with a message.
(
  source "$root/scripts/xvfb.sh"
  WYD_XVFB_DISPLAYS=abc start_xvfb_server NONE 2>"$work/refusal" && exit 1
  grep -q "WYD_XVFB_DISPLAYS must be FIRST-LAST" "$work/refusal"
) || { echo "FAILED: a wrong range is not refused"; fails=1; }

# Run as a command for a test that owns its server: the name comes first, within the range, and
# the server stops with the command.
exec {one}< <(WYD_XVFB_DISPLAYS=800-899 exec bash "$root/scripts/xvfb.sh" one 2>/dev/null)
one_pid=$!
if read -r -t 60 -u "$one" own; then
  check "the own server is in the range" in_range "$own" 800 899
  check "the own server listens" listening "$own"
  kill "$one_pid"
  deadline=$((SECONDS + 60))
  while listening "$own" && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.1; done
  check "the own server stops with the command" bash -c "! test -S /tmp/.X11-unix/X${own#:}"
else
  echo "FAILED: no server name from 'xvfb.sh one'"
  fails=1
fi
exec {one}<&-

# When the sourcing shell ends, its servers stop and its run folder goes, failed tests or not.
bash -c "source '$root/scripts/xvfb.sh'; start_xvfb >/dev/null || exit 1
         echo \"\$TMPDIR \${WYD_XVFB_PIDS[*]}\" >'$work/run'; exit 3"
read -r folder pids <"$work/run"
check "the run folder is removed" test ! -e "$folder"
for pid in $pids; do
  check "server $pid stopped" bash -c "! kill -0 $pid 2>/dev/null"
done

exit "$fails"
