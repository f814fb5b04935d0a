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
  # The prefix is made before the wineserver is kept alive: making it waits for the server to end,
  # which a persistent server never does. Then one wineserver serves every test program.
  LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all sh tests/make-wine-prefix.sh "$PWD/build/${preset}/wineprefix"
  WINEPREFIX="$PWD/build/${preset}/wineprefix" wineserver -p 2>/dev/null || true
  ctest --preset "$preset" || status=1
  WINEPREFIX="$PWD/build/${preset}/wineprefix" wineserver -k 2>/dev/null || true
done
exit $status
