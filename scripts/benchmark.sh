#!/usr/bin/env bash
# Measures update.exe on an update of about 2 GiB (a few large files and a few thousand small
# ones) against `cp -r` of the same files on the same disk, alternating, and prints throughput,
# the ratio, the peak memory of the update process and its planning time for 10,000 files.
# Prints figures; asserts nothing. Usage: bash scripts/benchmark.sh [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-3}"
root="$PWD/build/bench"

bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 >/dev/null
source scripts/display.sh
start_private_display

export WINEPREFIX="$root/wineprefix" WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
sh tests/make-wine-prefix.sh "$WINEPREFIX"
wineserver -p 2>/dev/null || true  # one server for the whole run; fine if one runs already

package="$root/package"
game="$root/game"
if [ ! -f "$package/.ready" ] || [ ! -f "$root/plan/update.ini" ]; then
  echo "laying out the update (once)..."
  rm -rf "$package" "$root/plan" "$root/many"
  mkdir -p "$package/GAMEDATA/BGM" "$package/GAMEDATA/MOV" "$package/GAMEDATA/data" "$root/plan/GAMEDATA/many"
  python3 - "$package/GAMEDATA" "$root/plan/GAMEDATA/many" <<'PY'
import os, sys
gamedata, many = sys.argv[1], sys.argv[2]
block = os.urandom(1 << 20)
def write(path, size):
    with open(path, "wb") as f:
        while size > 0:
            f.write(block[:min(size, len(block))]); size -= len(block)
for i in range(3):                       # movies: 3 x 450 MiB
    write(f"{gamedata}/MOV/movie{i}.mpg", 450 << 20)
for i in range(40):                      # music: 40 x 5 MiB
    write(f"{gamedata}/BGM/bgm{i:02d}.ogg", 5 << 20)
for i in range(3000):                    # data: 3000 x 160 KiB
    write(f"{gamedata}/data/d{i:04d}.dat", 160 << 10)
for i in range(10000):                   # planning: 10,000 small files
    write(f"{many}/f{i:05d}.dat", 100)
PY
  printf 'GAME_NAME = "ベンチマーク"\r\nREG_NAME = "UpdateBench"\r\nBGM_UPDATE = 1\r\nMOV_UPDATE = 1\r\nBGM_FOLDER = "BGM"\r\nMOV_FOLDER = "MOV"\r\nCOPY_FOLDER_COUNT = 1\r\nCOPY_FOLDER_00 = "data"\r\n' \
    | iconv -f UTF-8 -t CP932 > "$package/update.ini"
  printf 'GAME_NAME = "ベンチマーク"\r\nREG_NAME = "UpdateBench"\r\nCOPY_FOLDER_COUNT = 1\r\nCOPY_FOLDER_00 = "many"\r\n' \
    | iconv -f UTF-8 -t CP932 > "$root/plan/update.ini"
  touch "$package/.ready"
fi
cp build/win32/update.exe "$package/update.exe"
cp build/win32/update.exe "$root/plan/update.exe"
bytes=$(du -sb "$package/GAMEDATA" | cut -f1)

game_win="Z:$(echo "$game" | tr / '\\')"
key='HKCU\Software\UpdateBench'
wine reg add "$key" /v SAV_FOLDER /t REG_SZ /d "$game_win" /f >/dev/null
for name in DAT_EXIST BGM_EXIST KOE_EXIST MOV_EXIST; do
  wine reg add "$key" /v $name /t REG_SZ /d 1 /f >/dev/null
done
for name in DAT_FOLDER BGM_FOLDER KOE_FOLDER MOV_FOLDER; do
  wine reg add "$key" /v $name /t REG_SZ /d "$game_win" /f >/dev/null
done

fresh_game() {
  rm -rf "$game" "$root/cp-target"
  mkdir -p "$game/BGM" "$game/MOV"
  : > "$game/Lumivane.exe"
  sync
}

# Samples the peak resident memory of the running update.exe into the file $1 until killed.
watch_memory() {
  local peak=0 pid hwm
  echo 0 > "$1"
  while true; do
    # Wine shows the Windows path in the command line: Z:\...\package\update.exe.
    for pid in $(pgrep -f 'package.update\.exe' || true); do
      hwm=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
      if [ -n "$hwm" ] && [ "$hwm" -gt "$peak" ]; then
        peak=$hwm
        echo "$peak" > "$1"
      fi
    done
    sleep 0.05
  done
}

now() { date +%s.%N; }
update_times=(); cp_times=(); peaks=()
for round in $(seq "$rounds"); do
  for tool in update cp; do
    fresh_game
    if [ "$tool" = update ]; then
      watch_memory "$root/peak" &
      watcher=$!
      start=$(now)
      wine build/win32/bench/update_bench.exe "$(echo "Z:$package/update.exe" | tr / '\\')" > "$root/run.log"
      end=$(now)
      kill "$watcher" 2>/dev/null || true
      wait "$watcher" 2>/dev/null || true
      grep -q 'アップデートは正常に終了しました。' "$root/run.log" || { cat "$root/run.log"; echo "the update failed"; exit 1; }
      update_times+=("$(echo "$end - $start" | bc)")
      peaks+=("$(cat "$root/peak")")
    else
      mkdir -p "$root/cp-target"
      start=$(now)
      cp -r "$package/GAMEDATA/BGM" "$package/GAMEDATA/MOV" "$package/GAMEDATA/data" "$root/cp-target/"
      end=$(now)
      cp_times+=("$(echo "$end - $start" | bc)")
    fi
  done
done

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
update_s=$(median "${update_times[@]}")
cp_s=$(median "${cp_times[@]}")
mib=$(echo "scale=1; $bytes / 1048576" | bc)
echo "update size:           $mib MiB in $(find "$package/GAMEDATA" -type f | wc -l) files"
echo "update.exe (whole run): ${update_times[*]} s; median $update_s s, $(echo "scale=1; $mib / $update_s" | bc) MiB/s"
echo "cp -r:                  ${cp_times[*]} s; median $cp_s s, $(echo "scale=1; $mib / $cp_s" | bc) MiB/s"
echo "ratio update/cp:        $(echo "scale=2; $update_s / $cp_s" | bc)"
echo "peak memory (VmHWM):    $(printf '%s KiB ' "${peaks[@]}")"
# The planning is timed inside update.exe: from the dialog shown to the first file named.
fresh_game
echo "planning 10,000 files:  $(wine build/win32/bench/update_bench.exe "$(echo "Z:$root/plan/update.exe" | tr / '\\')" |
  sed -n 's/.*plan_ms \([0-9]*\).*/\1 ms/p')"
echo "one bar position:       $(grep -o 'PBM_SETPOS.*' "$root/run.log")"
wineserver -k || true
