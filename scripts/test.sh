#!/usr/bin/env bash
# Builds both update.exe builds and runs every test under Wine and Xvfb; makes the release zip
# unsigned and signed with a certificate of the test's own (tests/release/release-test.sh); then
# makes the guide's pages and checks them in Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh all
source scripts/display.sh
source scripts/wine.sh
start_private_display

# A hung program fails its test instead of holding the run: ctest gives each test at most ten
# minutes (CMakePresets.json), the release test has fifteen, each Chromium run two.
status=0
for preset in win32 win64; do
  if [[ " $RUNNABLE_PRESETS " != *" $preset "* ]]; then
    # Built all the same; what can be read without running it is checked.
    echo "== the ${preset} build cannot run on this machine: only its resources and imports are checked"
    ctest --preset "$preset" -R 'e2e_update_(resources|imports)' || status=1
    continue
  fi
  echo "== tests of the ${preset} build"
  serve_test_prefix "$preset"
  # The crash sweep takes minutes: it runs for the shipped build, and for the 64-bit one only where
  # that is the build that runs (scripts/crash-sweep.sh runs it for both).
  skip=()
  [ "$preset" = win64 ] && [[ " $RUNNABLE_PRESETS " == *" win32 "* ]] && skip=(-E crash_sweep)
  ctest --preset "$preset" "${skip[@]}" || status=1
  wineserver -k || true
done
unset WINEPREFIX
echo "== the release zip, unsigned and signed"
timeout -k 10 900 bash tests/release/release-test.sh || status=1
echo "== the guide's pages"
bash scripts/build-guide.sh build/guide && bash scripts/check-guide.sh build/guide || status=1
exit $status
