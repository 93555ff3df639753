#!/usr/bin/env bash
# latency.sh [RUNS [EXE]]: how long the user waits, measured from outside the program as a
# user sees it, under Wine on a private Xvfb screen: from Ctrl+A to the new picture painted
# in the view, and from Ctrl+Z to the frozen screen shown by the region overlay. RUNS of
# each (20 unless given); EXE is the program (the Windows build's unless given), so an older
# build can be measured side by side. LSG_LOAD=N keeps N busy loops running meanwhile, for
# a loaded machine; the Ctrl+A runs then also count pictures with traces of 主窗口.
# A benchmark, not a test: it asserts nothing and is not part of scripts/test.sh.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
cd "$lsg_root"

runs=${1:-20}
exe=$(realpath "${2:-$lsg_build/windows/lanshanguo.exe}")
out=$lsg_build/latency
prefix=$lsg_build/wine/latency
title="蓝杉果高级屏幕截图软件"
desktop_colour=256f95  # Wine's desktop in the test prefixes

# What the tool needs beyond the project's own set-up, from Debian's archive.
need=()
for p in gcc libx11-dev libxtst-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=300 "${need[@]}" >/dev/null
fi
bash scripts/setup.sh
[ -f "$exe" ] || { cmake --preset windows >/dev/null && cmake --build --preset windows; }

mkdir -p "$out"
gcc -O2 -Wall -Wextra -o "$out/latency" bench/latency/latency.c -lX11 -lXtst
x86_64-w64-mingw32-g++-posix -O2 -Wall -Wextra -municode -mwindows -static \
  -o "$out/ticker.exe" bench/latency/ticker.cpp
lsg_wine_prefix e2e "$prefix"
export WINEPREFIX=$prefix

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  lsg_wineserver_stop "$prefix"
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number once it accepts clients.
: >"$out/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$out/display" \
  >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 200); do [ -s "$out/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$out/display")
lsg_wineserver_start "$prefix"

wine "$out/ticker.exe" 0 0 64 >/dev/null 2>&1 &
pids+=($!)
(cd "$(dirname "$exe")" && exec wine "$exe") >"$out/program.log" 2>&1 &
pids+=($!)
window=$(xdotool search --sync --onlyvisible --name "^$title\$" | head -1)
sleep 2
geometry=$(xwininfo -id "$window")
x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$geometry")
y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$geometry")
# Wine's fixed frame is 3 pixels, its caption and menu bar 19 each, at 96 DPI.
client_x=$((x + 3)) client_y=$((y + 3 + 19 + 19))
# The view shows the screen from its top-left corner: at (20, 20) in the view lies the
# ticker's pixel (20, 20), in the picture only.
view_x=$((client_x + 8 + 20)) view_y=$((client_y + 7 + 20))
# Where 主窗口 itself lay, as far as the view shows it: desktop in a clean picture.
trace=($((client_x + 8 + x)) $((client_y + 7 + y)) $((597 - x)) $((440 - y)) $desktop_colour)

for ((i = 0; i < ${LSG_LOAD:-0}; i++)); do
  (while :; do :; done) &
  pids+=($!)
done
echo "latency: $exe, $runs runs each, load ${LSG_LOAD:-0}"
# Each run's figures go to the build folder; the summary lines to the terminal.
if [ "${LSG_LOAD:-0}" -gt 0 ]; then
  "$out/latency" view "$view_x" "$view_y" "$runs" "${trace[@]}" | tee "$out/ctrl-a.log" | tail -1
else
  "$out/latency" view "$view_x" "$view_y" "$runs" | tee "$out/ctrl-a.log" | tail -1
fi
"$out/latency" overlay 20 20 "$runs" | tee "$out/ctrl-z.log" | tail -1
