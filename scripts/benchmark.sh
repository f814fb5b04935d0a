#!/usr/bin/env bash
# Times update.exe's copy phase (from the Yes to the closing box, nothing injected into it)
# against a windowless program that copies the same files with the same 1,000,000-byte blocks
# under the same Wine, and against cp -r, alternating, on both builds; for an update of big files,
# for one of big and small files, and for one of 10,000 small files in one folder, on tmpfs; and
# the time from the start to the confirmation. Then, for each update, where the copy phase's time
# goes: one more run with bench/profile_hook.cpp timing update.exe's own calls by kind. With BENCH_BEFORE naming an older build folder
# (holding <preset>/update.exe), that update.exe is timed in the same rounds, for its ratio beside
# today's, and profiled as well. Then the flush cost: the windowless copy onto a real disk (below build/, never tmpfs)
# with and without each file flushed before closing, as update.exe flushes it. Prints the medians
# and the peak memory of update.exe, and the time the checks of the game's files before the
# question take (bench/question_checks_bench.cpp); asserts nothing. Usage: bash scripts/benchmark.sh [rounds]
# (BENCH_UPDATES names the updates to time, of big, mixed, many and files; all four by default.)
# The files series: a voice pack of 1-byte files over ten folder entries (BENCH_FILES: 1,000, 10,000
# and 100,000 by default), on the disk below build/, onto a game that has none of them, once more
# onto one whose files it all replaces (BENCH_FILES_REPLACED: 1,000 and 10,000); for each point the
# start to the confirmation, the copy phase, the floors beside it (the same files copied and
# flushed one by one; staged, flushed, then moved into place, without a window) and update.exe's
# peak memory. Points above 10,000 files run one round.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-3}"
bash scripts/setup.sh
bash scripts/build.sh all >/dev/null
source scripts/display.sh
start_private_display
root=/dev/shm/update-bench
disk=$PWD/build/bench-disk
files_root=$PWD/build/bench-files
# In place of the display's own trap, which this one replaces: the private Xvfb goes too.
trap 'rm -rf "$root" "$disk" "$files_root"; [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true' EXIT
if [ "$(df --output=fstype "$PWD/build" | tail -1)" = tmpfs ]; then echo "build/ is on tmpfs: no real disk for the flush cost" >&2; exit 1; fi
export WINEDEBUG=-all LC_ALL=ja_JP.UTF-8

# Three updates: 4 x 225 MB; the same with 1,500 files of 200 KB beside them; 10,000 files of 4 KB.
small_files() {  # count size folder
  head -c "$2" /dev/urandom > "$3/d0.dat"
  for i in $(seq 1 $(($1 - 1))); do cp "$3/d0.dat" "$3/d$i.dat"; done
}
lay_out() {
  local package=$root/$1/package
  mkdir -p "$package/GAMEDATA/MOV" "$package/GAMEDATA/data"
  if [ "$1" != many ]; then
    head -c 225000000 /dev/urandom > "$package/GAMEDATA/MOV/m0.mpg"
    for i in 1 2 3; do cp "$package/GAMEDATA/MOV/m0.mpg" "$package/GAMEDATA/MOV/m$i.mpg"; done
  fi
  [ "$1" = mixed ] && small_files 1500 200000 "$package/GAMEDATA/data"
  [ "$1" = many ] && small_files 10000 4096 "$package/GAMEDATA/data"
  printf 'GAME_NAME = "ベンチマーク"\r\nREG_NAME = "UpdateBench\\%s"\r\nMOV_UPDATE = 1\r\nMOV_FOLDER = "MOV"\r\nCOPY_FOLDER_COUNT = 1\r\nCOPY_FOLDER_00 = "data"\r\n' "$1" \
    | iconv -f UTF-8 -t CP932 > "$package/update.ini"
}
read -ra updates_to_time <<<"${BENCH_UPDATES:-big mixed many files}"  # BENCH_UPDATES="big" times one
for update in "${updates_to_time[@]}"; do [ "$update" = files ] || lay_out "$update"; done

# The peak resident memory of a running update.exe, written to $root/peak (or the file given) as it
# grows. Watched in a run of its own, never a timed one: the watching takes the CPU from the copy.
watch_memory() {
  local peak=0 pid kib file="${1:-$root/peak}" every="${2:-0.05}"
  echo 0 > "$file"
  while sleep "$every"; do
    for pid in $(pgrep -f 'package.update\.exe'); do
      kib=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
      if [ -n "$kib" ] && [ "$kib" -gt "$peak" ]; then peak=$kib; echo "$peak" > "$file"; fi
    done
  done
}
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
win() { winepath -w "$1"; }
fresh_game() { rm -rf "$game"; mkdir -p "$game/MOV" "$game/data"; : > "$game/Lumivane.exe"; }
# One run of an update.exe with the profiling hook in it: where its copy phase went, by kind.
profile() {
  fresh_game
  cp "$1" "$package/update.exe"
  UPDATE_PROFILE=$(win "$root/profile") wine "build/$preset/bench/copy_phase_bench.exe" "$(win "$package/update.exe")" --profile >/dev/null 2>&1
  tr -d '\r' < "$root/profile" | awk -v who="$2" '
    $1 == "phase" { phase = $2; next }
    { kind[++n] = $1; count[n] = $2; took[n] = $3 }
    END {
      printf "  where the copy phase went (%s, profiled: %d ms):\n", who, phase / 1000
      for (i = 1; i <= n; i++) if (took[i] >= 1000)
        printf "    %-13s %7d calls %7.0f ms %5.1f%%\n", kind[i], count[i], took[i] / 1000, 100 * took[i] / phase
    }'
  cp "build/$preset/update.exe" "$package/update.exe"
}

# count files over ten folder entries, 1 byte each, below $files_root/<count>/package.
lay_out_files() {
  local package=$files_root/$1/package
  [ -f "$package/update.ini" ] && return
  mkdir -p "$package/GAMEDATA"
  python3 - "$package/GAMEDATA" "$1" <<'PYTHON'
import os, sys
root, count = sys.argv[1], int(sys.argv[2])
for folder in range(10):
    os.makedirs(os.path.join(root, "koe%02d" % folder))
    for i in range(count // 10):
        with open(os.path.join(root, "koe%02d" % folder, "v%06d.ogg" % i), "wb") as voice:
            voice.write(b"n")
PYTHON
  { printf 'GAME_NAME = "ベンチマーク"\r\nREG_NAME = "UpdateBench\\files"\r\nCOPY_FOLDER_COUNT = 10\r\n'
    for folder in 0 1 2 3 4 5 6 7 8 9; do printf 'COPY_FOLDER_0%d = "koe0%d"\r\n' $folder $folder; done
  } | iconv -f UTF-8 -t CP932 > "$package/update.ini"
}
# One point of the files series: count files, onto a game without them or (replaced) with each.
files_point() {
  local count=$1 replaced=$2 package=$files_root/$1/package game=$files_root/game out=$files_root/out
  local rounds_here=$rounds starts=() copies=() flushed=() staged=() peaks=()
  [ "$count" -gt 10000 ] && rounds_here=1
  lay_out_files "$count"
  cp "build/$preset/update.exe" "$package/"
  local key="HKCU\\Software\\UpdateBench\\files"
  for name in DAT_EXIST BGM_EXIST KOE_EXIST MOV_EXIST; do wine reg add "$key" /v $name /d 1 /f >/dev/null; done
  for name in SAV_FOLDER BGM_FOLDER KOE_FOLDER DAT_FOLDER MOV_FOLDER; do wine reg add "$key" /v $name /d "$(win "$game")" /f >/dev/null; done
  for round in $(seq "$rounds_here"); do
    rm -rf "$game" "$out"; mkdir -p "$game" "$out"; : > "$game/Lumivane.exe"
    if [ -n "$replaced" ]; then
      cp -r "$package/GAMEDATA/." "$game/"
      find "$game" -name '*.ogg' -exec sh -c 'for voice; do printf o > "$voice"; done' _ {} +
    fi
    sync
    # Peak memory is a high-water mark: a look every half second finds it without taking the copy's time.
    watch_memory "$files_root/peak" 0.5 &
    local watcher=$! took start
    read -r took start < <(wine "build/$preset/bench/copy_phase_bench.exe" "$(win "$package/update.exe")" 2>/dev/null | tr -d '\r')
    kill $watcher 2>/dev/null; wait $watcher 2>/dev/null || true
    copies+=("$took"); starts+=("$start"); peaks+=("$(( $(cat "$files_root/peak") / 1024 ))")
    for floor in --flush --staged; do
      rm -rf "$out"; mkdir -p "$out"
      [ -n "$replaced" ] && cp -r "$package/GAMEDATA/." "$out/"
      sync
      took=$(wine "build/$preset/bench/windowless_copy.exe" "$(win "$package/GAMEDATA")" "$(win "$out")" $floor | tr -d '\r')
      if [ "$floor" = --flush ]; then flushed+=("$took"); else staged+=("$took"); fi
    done
  done
  rm -rf "$game" "$out"
  local u s
  u=$(median "${copies[@]}") s=$(median "${staged[@]}")
  echo "$preset, files series, $count files${replaced:+, each replacing a file of the game}: start to confirmation ${starts[*]} ms;" \
       "copy phase ${copies[*]} ms, median $u; floors: copied and flushed ${flushed[*]} ms, staged and flushed ${staged[*]} ms;" \
       "copy phase / staged floor = $(echo "scale=2; $u / $s" | bc); peak memory ${peaks[*]} MiB"
}

source scripts/wine.sh
for preset in $RUNNABLE_PRESETS; do
  export WINEPREFIX=$PWD/build/$preset/wineprefix
  sh tests/make-wine-prefix.sh "$WINEPREFIX"
  # One server, with Wine's services already up, for every run: none starts while one is timed.
  wineserver -p 2>/dev/null || true
  wine cmd /c exit
  # The checks of the game's files before the question (game files; held files: each replaced file
  # opened once), for 1,500 and 10,000 replaced files, medians of five.
  for count in 1500 10000; do
    read -r files held < <(wine "build/$preset/bench/question_checks_bench.exe" $count | tr -d '\r')
    echo "$preset, checks before the question for $count replaced files: game files $files ms, held files $held ms"
  done
  for update in "${updates_to_time[@]}"; do
    if [ "$update" = files ]; then
      for count in ${BENCH_FILES:-1000 10000 100000}; do files_point "$count" ""; done
      for count in ${BENCH_FILES_REPLACED:-1000 10000}; do files_point "$count" replaced; done
      continue
    fi
    package=$root/$update/package game=$root/$update/game
    cp "build/$preset/update.exe" "$package/"
    key="HKCU\\Software\\UpdateBench\\$update"
    for name in DAT_EXIST BGM_EXIST KOE_EXIST MOV_EXIST; do wine reg add "$key" /v $name /d 1 /f >/dev/null; done
    for name in SAV_FOLDER BGM_FOLDER KOE_FOLDER; do wine reg add "$key" /v $name /d "$(win "$game")" /f >/dev/null; done
    wine reg add "$key" /v DAT_FOLDER /d "$(win "$game")\\data" /f >/dev/null
    wine reg add "$key" /v MOV_FOLDER /d "$(win "$game")\\MOV" /f >/dev/null
    updates=(); befores=(); windowless=(); copies=(); flushed=(); unflushed=(); starts=(); peak=0
    before="${BENCH_BEFORE:+$BENCH_BEFORE/$preset/update.exe}"
    for round in $(seq "$rounds"); do
      fresh_game; rm -rf "$root/out"; mkdir -p "$root/out"
      windowless+=("$(wine "build/$preset/bench/windowless_copy.exe" "$(win "$package/GAMEDATA")" "$(win "$root/out")" | tr -d '\r')")
      if [ -n "$before" ]; then
        cp "$before" "$package/update.exe"
        befores+=("$(wine "build/$preset/bench/copy_phase_bench.exe" "$(win "$package/update.exe")" 2>/dev/null | tr -d '\r' | cut -d' ' -f1)")
        cp "build/$preset/update.exe" "$package/update.exe"
        fresh_game
      fi
      read -r took start < <(wine "build/$preset/bench/copy_phase_bench.exe" "$(win "$package/update.exe")" 2>/dev/null | tr -d '\r')
      updates+=("$took"); starts+=("$start")
      # The flush cost on a real disk: written back before each run, so that neither pays for the other.
      # Not for the 10,000 files, which would spend the round waiting for the disk.
      for flush in "" --flush; do
        [ "$update" = many ] && continue
        rm -rf "$disk/out"; mkdir -p "$disk/out"; sync
        took=$(wine "build/$preset/bench/windowless_copy.exe" "$(win "$package/GAMEDATA")" "$(win "$disk/out")" $flush | tr -d '\r')
        if [ -n "$flush" ]; then flushed+=("$took"); else unflushed+=("$took"); fi
      done
      rm -rf "$disk/out"
      rm -rf "$root/out"; mkdir -p "$root/out"
      start=$(date +%s%N); cp -r "$package/GAMEDATA/MOV" "$package/GAMEDATA/data" "$root/out/"
      copies+=($(( ($(date +%s%N) - start) / 1000000 )))
    done
    fresh_game
    watch_memory &
    watcher=$!
    wine "build/$preset/bench/copy_phase_bench.exe" "$(win "$package/update.exe")" >/dev/null 2>&1 || true
    kill $watcher 2>/dev/null; wait $watcher 2>/dev/null || true
    peak=$(cat "$root/peak")
    u=$(median "${updates[@]}") w=$(median "${windowless[@]}") c=$(median "${copies[@]}")
    echo "$preset, $update update ($(du -sm "$package/GAMEDATA" | cut -f1) MB, $(find "$package/GAMEDATA" -type f | wc -l) files):"
    echo "  update.exe copy phase ${updates[*]} ms, median $u; windowless copy ${windowless[*]} ms, median $w;" \
         "cp -r ${copies[*]} ms, median $c"
    echo "  update.exe / windowless = $(echo "scale=2; $u / $w" | bc); windowless / cp = $(echo "scale=2; $w / $c" | bc);" \
         "update.exe peak memory $((peak / 1024)) MiB; start to confirmation ${starts[*]} ms, median $(median "${starts[@]}")"
    if [ -n "$before" ]; then
      b=$(median "${befores[@]}")
      echo "  before ($before): copy phase ${befores[*]} ms, median $b; before / windowless = $(echo "scale=2; $b / $w" | bc)"
    fi
    profile "build/$preset/update.exe" "update.exe"
    [ -n "$before" ] && profile "$before" "before"
    [ "$update" = many ] && continue
    f=$(median "${flushed[@]}") n=$(median "${unflushed[@]}")
    echo "  flush cost on $(df --output=fstype "$disk" | tail -1) ($disk): windowless copy ${unflushed[*]} ms, median $n;" \
         "each file flushed ${flushed[*]} ms, median $f; flush cost $((f - n)) ms"
  done
  wineserver -k || true
done
