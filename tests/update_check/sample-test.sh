#!/bin/sh
# scripts/sample.sh as CI runs it (on a private Xvfb, with this build's programs): it must end
# well, show the success box and report the nine files the sample update writes.
set -u
top="$1"
build="$2"
output=$(CI=1 SAMPLE_BUILD_DIR="$build" SAMPLE_DIR="$build/sample" bash "$top/scripts/sample.sh" 2>&1)
code=$?
printf '%s\n' "$output"
status=0
[ "$code" -eq 0 ] || { echo "FAIL: scripts/sample.sh ended with $code"; status=1; }
for expected in \
  '    アップデートは正常に終了しました。' \
  '          2500 bytes  BGM/bgm01.ogg  (new)' \
  '          3072 bytes  BGM/タイトル.ogg' \
  '           400 bytes  KOE/v0001.ogg' \
  '           420 bytes  KOE/v0002.ogg  (new)' \
  '          4096 bytes  MOV/op.mpg' \
  '          1234 bytes  data/system.dat' \
  '           543 bytes  data/シナリオ/第一章.scn  (new)' \
  '           172 bytes  はじめにお読みください.txt  (new)' \
  '           205 bytes  更新履歴.txt  (new)' \
  '  9 files' \
  'update.exe ended with exit code 0.' \
  'screenshot of the confirmation: ' \
  'screenshot of the progress dialog: ' \
  'screenshot of the success box: '
do
  printf '%s\n' "$output" | grep -qF -- "$expected" || { echo "FAIL: missing: $expected"; status=1; }
done
for shot in 1-confirmation 2-progress 3-success; do
  [ -s "$build/sample/screenshots/$shot.png" ] || { echo "FAIL: no screenshot $shot.png"; status=1; }
done
exit $status
