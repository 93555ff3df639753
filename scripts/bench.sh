#!/usr/bin/env bash
# Benchmarks, each figure beside a peer measured in the same run (see BENCHMARKS.md).
# Not part of the test command. Results go to build/bench/; the plot to docs/.
#   bash scripts/bench.sh            everything (native, then under Wine)
#   bash scripts/bench.sh native     the conversion only
# LSG_BENCH_ROUNDS sets the rounds of the whole-process pairs (default 15).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
cd "$lsg_root"

rounds=${LSG_BENCH_ROUNDS:-15}
out=$lsg_build/bench
mkdir -p "$out"
# The pictures and JPEGs live in memory (tmpfs) when the machine has it, so that the disk
# of a shared machine (and the program's flush of a saved file to it) does not drown the
# work being compared; LSG_BENCH_FILES chooses another folder.
if [ -n "${LSG_BENCH_FILES:-}" ]; then
  files=$LSG_BENCH_FILES
else
  files=$([ -w /dev/shm ] && echo /dev/shm/lsg-bench-$$ || echo "$out/files")
  trap 'rm -rf "$files"' EXIT
fi
mkdir -p "$files"

bash scripts/setup.sh
# The plot needs matplotlib and the instruction counts valgrind; only the benchmarks
# need them, so the tests' set-up stays lean.
missing=()
for p in python3-matplotlib valgrind; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target benchmarks make_screen_bmp convert_once convert_floor
bin=$lsg_build/linux-release/bench

echo "==> the machine"
{ echo "files in $files"; lscpu | grep -E '^(Model name|CPU\(s\)|Thread|Core)'; uptime; } | tee "$out/machine.txt"

echo "==> whole process: convertToJpeg, cjpeg and the floor: time (interleaved, $rounds rounds) and instructions"
for size in 1920x1080 3840x2160; do
  "$bin/make_screen_bmp" "${size%x*}" "${size#*x}" "$files/screen-$size.bmp"
  /usr/bin/python3 bench/scripts/whole_process.py "$rounds" "$files/screen-$size.bmp" "$files" \
    "program=$bin/convert_once {src} {out}" \
    "cjpeg=$(command -v cjpeg) -quality 80 -optimize -dct int -outfile {out} {src}" \
    "floor=$bin/convert_floor {src} {out}" >"$out/process-$size.json"
  /usr/bin/python3 bench/scripts/instructions.py "$files/screen-$size.bmp" "$files" \
    "program=$bin/convert_once {src} {out}" \
    "cjpeg=$(command -v cjpeg) -quality 80 -optimize -dct int -outfile {out} {src}" \
    "floor=$bin/convert_floor {src} {out}" >"$out/instructions-$size.json"
done

echo "==> in process: convertToJpeg against the encode alone, the reader against memcpy"
TMPDIR=$files "$bin/benchmarks" --benchmark_filter='BM_(ConvertToJpeg|EncodeOnly|ReadBmp|MemcpyFileSize)$' \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$out/in-process.json" --benchmark_out_format=json

if [ "${1:-}" != native ]; then
  echo "==> under Wine: start-up, snapshot, memory of region capture"
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target lanshanguo minimal_window snapshot_peer
  stat -c %s "$lsg_build/windows/lanshanguo.exe" >"$out/exe-bytes.txt"
  x86_64-w64-mingw32-objdump -p "$lsg_build/windows/lanshanguo.exe" |
    sed -n 's/^\s*DLL Name: //p' >"$out/exe-imports.txt"
  # The prefix script may say it made the prefix; the result is the last line.
  /usr/bin/python3 bench/scripts/wine_bench.py 7 | tail -n 1 >"$out/wine.json"
  echo "==> under Wine: key to picture, Ctrl+A and Ctrl+Z"
  bash scripts/latency.sh 12
fi

/usr/bin/python3 bench/scripts/report.py "$out" docs/benchmarks.png
