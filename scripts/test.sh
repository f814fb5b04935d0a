#!/usr/bin/env bash
# Builds both update.exe builds and runs every test under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh all
source scripts/display.sh
start_private_display

status=0
for preset in win32 win64; do
  echo "== tests of the ${preset} build"
  # No persistent wineserver: Wine's services and desktop started by a test program would keep
  # it alive, and with it the output pipe that ctest waits on.
  ctest --preset "$preset" || status=1
done
exit $status
