# Sourced by the scripts that run Windows programs under Wine: the environment every
# run shares, and a detached wine server for one prefix.

lsg_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
lsg_build=${BUILD_DIR:-$lsg_root/build}

# No Mono or Gecko installers during prefix creation, and no debug chatter.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Chinese window titles pass through xdotool and the terminal as UTF-8.
export LANG=${LANG:-C.UTF-8}

# lsg_wine_prefix KIND DIR [SIZE [DPI]]: makes DIR a ready prefix of KIND (unit or e2e),
# once; see wine-prefix.sh.
lsg_wine_prefix() {
  bash "$lsg_root/scripts/wine-prefix.sh" "$@"
}

# A server started before the programs makes each of them start in tens of
# milliseconds instead of seconds. wineserver puts itself in the background once it
# accepts clients. Then wineboot starts the prefix's services with no output: the
# services started by the first program instead would inherit its output pipe and
# keep it open, and CTest, reading that pipe to its end, would wait until its timeout.
# The prefix is this shell's until it ends (the e2e harness takes the same lock): a
# server still running there is a leftover of an interrupted run, whose desktop may
# belong to a display that is gone, so it is ended first.
lsg_wineserver_start() {
  local lock
  exec {lock}>"$1.session"
  flock -n "$lock" || { echo "waiting for another run to finish with $1"; flock "$lock"; }
  lsg_wineserver_stop "$1"
  WINEPREFIX=$1 setsid -w wineserver -p </dev/null >/dev/null 2>&1 &&
    WINEPREFIX=$1 wine wineboot </dev/null >/dev/null 2>&1
}

# Ends every process of the prefix (and the server), then waits until they are gone.
lsg_wineserver_stop() {
  WINEPREFIX=$1 wineserver -k 2>/dev/null || true
  WINEPREFIX=$1 wineserver -w 2>/dev/null || true
}

# lsg_timed NAME COMMAND...: runs a step and prints how long it took.
lsg_timed() {
  local name=$1 start=$SECONDS status=0
  shift
  echo "==> $name"
  "$@" || status=$?
  echo "==> $name: $((SECONDS - start)) s$([ $status -eq 0 ] || echo ", FAILED (exit $status)")"
  return $status
}

