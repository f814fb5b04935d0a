#!/usr/bin/env bash
# The built-in sample: builds update.exe, installs a small game "ルミベイン物語" in a Wine prefix of
# its own (files and the nine registry values its installer leaves), lays an update package beside
# a copy of update.exe, runs update.exe under Wine as a player would (answering Yes), and prints
# what the player saw, which files were updated, and where the screenshots are.
#
# Where a display answers (and not in CI), the windows appear on it and each box stays up for a
# moment; otherwise everything runs on a private Xvfb. Each run starts afresh: the same result
# every time.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

# SAMPLE_BUILD_DIR: run the programs of a build made already (the test of this script does);
# SAMPLE_DIR: where the sample goes instead of build/sample.
if [ -n "${SAMPLE_BUILD_DIR:-}" ]; then
  build=$SAMPLE_BUILD_DIR
  source scripts/wine.sh
else
  bash scripts/setup.sh
  source scripts/wine.sh
  # The 32-bit build is the one players get; a machine that runs no 32-bit programs shows the
  # 64-bit one, which behaves the same.
  preset=${RUNNABLE_PRESETS%% *}
  echo "== building update.exe ($preset)"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
  build=$top/build/$preset
fi

sample=${SAMPLE_DIR:-$top/build/sample}
export WINEPREFIX=$sample/wineprefix WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8
# Nothing of a former run may linger: a wineserver of the old prefix, the old game or package.
[ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
rm -rf "$sample"
mkdir -p "$sample"

source scripts/display.sh
hold=0
if [ -z "${CI:-}" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "== showing the run on the display $DISPLAY"
  hold=1500
else
  unset DISPLAY
  start_private_display
  echo "== no display to show the run on: running it on a private Xvfb"
fi

echo "== making the Wine prefix ${sample#$top/}/wineprefix"
WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
# Wine draws the caption buttons with the Marlett font, which a new prefix lacks.
[ -f /usr/share/wine/fonts/marlett.ttf ] && cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
if [ "$hold" -eq 0 ]; then
  # Without a window manager Wine would wait at every hidden window.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
fi
trap 'wineserver -k 2>/dev/null || true; [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true' EXIT

# A file of exactly <size> bytes whose content depends only on <tag>: the same bytes every run.
make_file() {  # make_file <path> <size> <tag>
  mkdir -p "$(dirname "$1")"
  (set +o pipefail; yes "$3" | head -c "$2" > "$1")
}

# The names sample/update.ini gives.
game_name="ルミベイン物語"
game=$WINEPREFIX/drive_c/Games/$game_name
game_windows="C:\\Games\\$game_name"
reg_name="LumivaneWorks\\$game_name"

echo "== installing the game in $game_windows"
make_file "$game/Lumivane.exe"               1000000 "engine 1.00"
make_file "$game/BGM/タイトル.ogg"           1000000 "title theme 1.00"
make_file "$game/BGM/bgm02.ogg"               800000 "bgm02 1.00"
make_file "$game/KOE/v0001.ogg"               300000 "voice 0001 1.00"
make_file "$game/MOV/op.mpg"                 5000000 "opening 1.00"
make_file "$game/data/system.dat"              10000 "system 1.00"
make_file "$game/save/save01.sav"               2048 "a player's save"
# As the game's installer records the installation, one REG_SZ value at a time.
key="HKCU\\SOFTWARE\\$reg_name"
while read -r name value; do
  wine reg add "$key" /v "$name" /t REG_SZ /d "$value" /f >/dev/null
done <<VALUES
SAV_FOLDER $game_windows
DAT_EXIST 1
DAT_FOLDER $game_windows\\data
BGM_EXIST 1
BGM_FOLDER $game_windows\\BGM
KOE_EXIST 1
KOE_FOLDER $game_windows\\KOE
MOV_EXIST 1
MOV_FOLDER $game_windows\\MOV
VALUES

package=$sample/package
echo "== laying out the update package in ${sample#$top/}/package"
mkdir -p "$package"
cp "$build/update.exe" "$package/update.exe"
# The sample package of sample/, as the release zip ships it: update.ini in Shift-JIS with CR LF,
# and GAMEDATA.
cp -R sample/update.ini sample/GAMEDATA "$package/"

# Every file of the game with its size and time, to see afterwards what the update changed.
picture() { (cd "$game" && find . -type f -printf '%P\t%s\t%T@\n' | LC_ALL=C sort); }
picture > "$sample/before.txt"

echo "== running update.exe (${sample#$top/}/package/update.exe) under Wine, answering Yes"
shots=$sample/screenshots
set +e
# The picture of the progress dialog is taken at its 9th bar position: the overall bar of the
# 5th of the sample's 9 blocks, about half way.
transcript=$sample/transcript.txt
wine "$build/tests/e2e/drive_update.exe" "$(winepath -w "$package/update.exe")" "$(winepath -w "$shots")" \
  "$(winepath -w "$transcript")" "$hold" 9
driven=$?
set -e
echo
echo "Transcript of update.exe's windows (from the hook inside it):"
grep -v '^pos ' "$transcript" | sed 's/^/  /' || true
echo "  (and $(grep -c '^pos ' "$transcript" || true) progress bar positions)"
picture > "$sample/after.txt"

echo
echo "== files of the installed game that the update wrote ($game_windows)"
updated=$(LC_ALL=C join -t $'\t' -a 2 -o 2.1,2.2,2.3,1.2,1.3 -e '-' "$sample/before.txt" "$sample/after.txt" |
  awk -F '\t' '$2 != $4 || $3 != $5 { printf "  %12s bytes  %s%s\n", $2, $1, ($4 == "-" ? "  (new)" : "") }')
if [ -n "$updated" ]; then echo "$updated"; else echo "  (none)"; fi
count=$(printf '%s' "$updated" | grep -c . || true)
echo "  $count files"
echo
echo "Screenshots are in ${shots#$top/}; the full transcript is ${sample#$top/}/transcript.txt."
echo "Check the package yourself: WINEPREFIX=$WINEPREFIX LC_ALL=ja_JP.UTF-8 wine ${build#$top/}/update_check/update-check.exe ${package#$top/} --registry"
exit $driven
