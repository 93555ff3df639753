#!/usr/bin/env bash
# Sets up, builds the Windows program and starts it under Wine on one shared Wine
# desktop. With a display it runs there until the program ends; without one it runs
# on a private Xvfb screen, saves a screenshot of it and ends the program.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
cd "$lsg_root"

title="蓝杉果高级屏幕截图软件"
exe=$lsg_build/windows/lanshanguo.exe
prefix=$lsg_build/wine/run
screenshot=$lsg_build/screenshot.png

bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target lanshanguo
lsg_wine_prefix e2e "$prefix"
export WINEPREFIX=$prefix

if [ -n "${DISPLAY:-}" ]; then
  lsg_wineserver_start "$prefix"
  status=0
  (cd "$(dirname "$exe")" && wine "$exe") || status=$?
  lsg_wineserver_stop "$prefix"
  echo "run: the program ended with exit code $status"
  exit $status
fi

xvfb_pid=
app_pid=
cleanup() {
  [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null || true
  lsg_wineserver_stop "$prefix"
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# Xvfb chooses a free display itself and writes its number once it accepts clients.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$display_file")
rm -f "$display_file"
[ "$DISPLAY" != ":" ] || { echo "run: Xvfb did not start" >&2; exit 1; }

lsg_wineserver_start "$prefix"
log=$lsg_build/run.log
(cd "$(dirname "$exe")" && exec wine "$exe") >"$log" 2>&1 &
app_pid=$!

window=
for _ in $(seq 300); do
  window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n1) && [ -n "$window" ] && break
  kill -0 "$app_pid" 2>/dev/null || { echo "run: the program ended early; its output:" >&2; cat "$log" >&2; exit 1; }
  sleep 0.1
done
[ -n "$window" ] || { echo "run: no window titled $title after 30 s" >&2; exit 1; }

# The window is mapped before it has painted: wait until two looks at the screen agree.
last=
for _ in $(seq 50); do
  now=$(import -window root -depth 8 rgb:- | md5sum)
  [ "$now" = "$last" ] && break
  last=$now
  sleep 0.1
done
import -window root "$screenshot"
echo "run: the program is running on $DISPLAY; screenshot saved to ${screenshot#"$lsg_root"/}"

xdotool key Escape
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
status=0
if kill -0 "$app_pid" 2>/dev/null; then
  echo "run: the program did not end on Esc; ending it" >&2
  status=1
else
  wait "$app_pid" || status=$?
  echo "run: the program ended on Esc with exit code $status"
fi
exit $status
