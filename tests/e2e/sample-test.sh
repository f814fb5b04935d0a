#!/bin/sh
# scripts/sample.sh as CI runs it (a private Xvfb, this build's programs): it must end well, show the
# success box, report the nine files the sample update writes and save the three screenshots.
output=$(CI=1 SAMPLE_BUILD_DIR="$2" SAMPLE_DIR="$2/sample" bash "$1/scripts/sample.sh" 2>&1) || echo "FAIL: it ended with $?"
printf '%s\n' "$output"
for expected in '    アップデートは正常に終了しました。' '          3072 bytes  BGM/タイトル.ogg' \
  '           543 bytes  data/シナリオ/第一章.scn  (new)' '  9 files' 'update.exe ended with exit code 0.' \
  'screenshot of the confirmation: ' 'screenshot of the progress dialog: ' 'screenshot of the success box: '; do
  printf '%s\n' "$output" | grep -qF -- "$expected" || echo "FAIL: missing: $expected"
done
for shot in 1-confirmation 2-progress 3-success; do
  [ -s "$2/sample/screenshots/$shot.png" ] || echo "FAIL: no screenshot $shot.png"
done
