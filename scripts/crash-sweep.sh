#!/usr/bin/env bash
# The crash sweep for each build that runs here: every file operation of a reference update fails
# once, fails once with the power gone right after the next, and has the power go right after it;
# then the same for each operation of the recovery after a run cut short while staging, after the
# journal's commit and halfway through putting files in place. Prints, for each build, the counts
# and every state that broke the promise (tests/e2e/crash_sweep.cpp); fails if any did.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh all
source scripts/display.sh
source scripts/wine.sh
start_private_display

status=0
for preset in $RUNNABLE_PRESETS; do
  echo "== the crash sweep of the ${preset} build"
  serve_test_prefix "$preset"
  start=$(date +%s)
  (cd "build/${preset}/tests/e2e" && LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all wine ./crash_sweep.exe) || status=1
  echo "   ($(( $(date +%s) - start )) s)"
  wineserver -k || true
done
exit $status
