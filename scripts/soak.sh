#!/usr/bin/env bash
# The long soak, too long for every test run: 100 full-screen, 50 region and 50 window
# captures in one run of the program under Wine, each followed by a save as BMP or JPG,
# with the program's resident memory read after each. The curve goes to
# build/soak-long.csv; the test fails if the memory grows by more than one snapshot after
# the first ten. Takes 15-25 minutes. (The e2e tier runs a short version of it.)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
cd "$lsg_root"
bash scripts/setup.sh
cmake --preset windows >/dev/null && cmake --build --preset windows
LSG_SOAK=long /usr/bin/python3 -m pytest tests/e2e/test_soak.py -s "$@"
