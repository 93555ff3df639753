#!/usr/bin/env bash
# Builds the fuzz targets (the `fuzz` preset) and runs them.
#   bash fuzz/run.sh                      every target for 20 s, side by side (the test tier)
#   bash fuzz/run.sh -t 3600 convert      one target for an hour
#   bash fuzz/run.sh -n 10000000 picture  one target for ten million executions
# Targets: picture, convert, filter_list. Each run grows its corpus in
# build/fuzz/corpus/TARGET from the committed seeds in fuzz/seeds; a crash, hang or
# out-of-memory is written to build/fuzz/findings/TARGET/ and ends the run with a failure.
# The log is build/fuzz/TARGET-short.log (or -timed, -counted), so that the test tier
# never writes over the log of a long run going on beside it.
# Extra libFuzzer options go in LSG_FUZZ_OPTIONS. Long runs belong under `nice -n 19`.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

seconds=20
runs=
kind=short
while getopts "t:n:" option; do
  case $option in
    t) seconds=$OPTARG; kind=timed ;;
    n) runs=$OPTARG; seconds=0; kind=counted ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(picture convert filter_list)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

out=$root/build/fuzz
run_one() {
  local target=$1 seeds max_len
  case $target in
    picture) seeds=fuzz/seeds/pictures max_len=16384 ;;
    convert) seeds=fuzz/seeds/pictures max_len=4096 ;;
    filter_list) seeds=fuzz/seeds/filter_lists max_len=4096 ;;
    *) echo "fuzz: unknown target '$target'" >&2; return 2 ;;
  esac
  mkdir -p "$out/corpus/$target" "$out/findings/$target"
  local limit=(-max_total_time="$seconds")
  [ -z "$runs" ] || limit=(-runs="$runs")
  # The first folder receives what the run finds; the seeds stay as committed.
  # -timeout: an input of a few kilobytes takes milliseconds, so only a hang comes near
  # it, even in a run at the lowest priority on a busy machine; -rss_limit_mb: above the
  # decoders' own bounds for the sizes a run decodes, far below a runaway allocation.
  "$out/fuzz/fuzz_$target" "${limit[@]}" -max_len="$max_len" -timeout=60 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/findings/$target/" \
    ${LSG_FUZZ_OPTIONS:-} "$out/corpus/$target" "$seeds" >"$out/$target-$kind.log" 2>&1
}

pids=()
for target in "${targets[@]}"; do
  run_one "$target" & pids+=($!)
done
status=0
for i in "${!targets[@]}"; do
  target=${targets[$i]}
  if wait "${pids[$i]}"; then
    runs_done=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/$target-$kind.log" | grep -o '[0-9]*$' || true)
    echo "fuzz: $target passed, ${runs_done:-?} executions"
  else
    status=1
    echo "fuzz: $target FAILED; the end of build/fuzz/$target-$kind.log:" >&2
    tail -n 40 "$out/$target-$kind.log" >&2
  fi
done
exit $status
