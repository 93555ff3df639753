#!/usr/bin/env bash
# The one command that sets everything up and runs every test tier, stopping at the
# first tier that fails: native unit tests (with AddressSanitizer and UBSan), a short
# run of each fuzz target (libFuzzer with the same sanitizers), the Windows build, the
# same unit tests cross-built and run under Wine, and the end-to-end tests of the real
# program under Wine in Xvfb. Safe to run again; needs no display.
# Tier names as arguments (native, fuzz, windows, wine, e2e) run only those, after set-up.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
cd "$lsg_root"

jobs=$(nproc)
unit_prefix=$lsg_build/wine/unit

# Each step is one && chain: errexit does not apply inside a function called from
# lsg_timed, so a failure has to end the chain by itself.
native_tests() {
  cmake --preset linux >/dev/null && cmake --build --preset linux &&
    ctest --preset linux -j "$jobs"
}

fuzz_tests() {
  # Every target for 20 s, side by side; fuzz/run.sh runs them longer.
  bash fuzz/run.sh
}

windows_build() {
  cmake --preset windows >/dev/null && cmake --build --preset windows
}

wine_prefixes() {
  local e2e=0 unit=0 scaled=0
  lsg_wine_prefix unit "$unit_prefix" & local unit_pid=$!
  lsg_wine_prefix e2e "$lsg_build/wine/e2e" & local e2e_pid=$!
  # The scaled-display tests' own: 150 % on a screen large enough for the scaled window.
  lsg_wine_prefix e2e "$lsg_build/wine/e2e-144dpi" 1600x1200 144 & local scaled_pid=$!
  wait $unit_pid || unit=$?
  wait $e2e_pid || e2e=$?
  wait $scaled_pid || scaled=$?
  [ $unit -eq 0 ] && [ $e2e -eq 0 ] && [ $scaled -eq 0 ]
}

windows_tests() {
  local status=0
  # No display: the unit tests open no windows, and none may wait for a click.
  (unset DISPLAY; export WINEPREFIX=$unit_prefix
   lsg_wineserver_start "$unit_prefix" && ctest --preset windows -j "$jobs") || status=$?
  lsg_wineserver_stop "$unit_prefix"
  return $status
}

e2e_tests() {
  # Debian's pytest and Pillow belong to this interpreter, whatever comes first on PATH.
  /usr/bin/python3 -m pytest tests/e2e
}

wanted() {
  [ ${#tiers[@]} -eq 0 ] || [[ " ${tiers[*]} " == *" $1 "* ]]
}

tiers=("$@")
for tier in "${tiers[@]}"; do
  case $tier in native | windows | wine | e2e) ;; *) echo "test: unknown tier '$tier'" >&2; exit 2 ;; esac
done
trap 'lsg_wineserver_stop "$unit_prefix"' INT TERM
start=$SECONDS
lsg_timed "set-up" bash scripts/setup.sh
if wanted native; then lsg_timed "native unit tests" native_tests; fi
if wanted fuzz; then lsg_timed "fuzz targets" fuzz_tests; fi
if wanted windows || wanted wine || wanted e2e; then lsg_timed "Windows build" windows_build; fi
if wanted wine || wanted e2e; then lsg_timed "Wine prefixes" wine_prefixes; fi
if wanted wine; then lsg_timed "Windows unit tests under Wine" windows_tests; fi
if wanted e2e; then lsg_timed "end-to-end tests" e2e_tests; fi
echo "==> passed in $((SECONDS - start)) s: ${tiers[*]:-every tier}"
