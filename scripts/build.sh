#!/usr/bin/env bash
# Builds update.exe and its tests for 32-bit Windows (the shipped build) and, with "all", for
# 64-bit Windows too. The 32-bit update.exe lands in build/win32/update.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
presets=(win32)
[ "${1:-}" = "all" ] && presets=(win32 win64)
for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
