#!/usr/bin/env bash
# Takes docs/progress-dialog.png: the progress dialog of the 32-bit build as a Japanese Windows
# shows it, halfway through a file with a Japanese name, under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/display.sh
start_private_display

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target progress_dialog_screenshot
export WINEPREFIX="$PWD/build/win32/wineprefix" WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
sh tests/make-wine-prefix.sh "$WINEPREFIX"

rect_file="$(mktemp)"
trap 'rm -f "$rect_file"; kill ${XVFB_PID:-} 2>/dev/null || true' EXIT
# The program prints the dialog's rectangle once it is drawn and keeps it up for 5 seconds.
wine build/win32/tests/kesto/progress_dialog_screenshot.exe 5 >"$rect_file" &
program=$!
for _ in $(seq 100); do
  [ -s "$rect_file" ] && break
  sleep 0.2
done
read -r x y width height <"$rect_file"
mkdir -p docs
xwd -root -display "$DISPLAY" | convert xwd:- -crop "${width}x${height}+${x}+${y}" +repage docs/progress-dialog.png
wait "$program"
# Let Wine's own helper processes leave before the display goes away with this script.
wineserver -w
echo "docs/progress-dialog.png: ${width}x${height} at ${x},${y}"
