#!/usr/bin/env bash
# Makes the release package dist/update-<version>.zip for publishers: the kit's README, the 32-bit
# update.exe they ship, the package checker update-check.exe and the package maker update-pack.exe
# (all three stripped, all with their version resource), the guide in Japanese and in English as
# pages with their screenshots inside, the sample package of sample/ with its note for players, and
# SHA256SUMS for every file in it. Then checks the zip as a publisher receives it: the sums
# verify, update-check passes on the zip's own sample, and the guide's pages pass in Chromium.
#
# Installs nothing: when a tool is missing it says which, and how to get it.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

# tool, and the Debian package that brings it
needed=(
  "cmake cmake" "ninja ninja-build" "i686-w64-mingw32-g++-posix g++-mingw-w64-i686-posix"
  "i686-w64-mingw32-windres binutils-mingw-w64-i686" "i686-w64-mingw32-nm binutils-mingw-w64-i686"
  "unzip unzip" "sha256sum coreutils" "wine wine" "python3 python3" "iconv libc-bin"
  "pandoc pandoc" "chromium chromium"
)
missing=()
for pair in "${needed[@]}"; do
  command -v "${pair%% *}" >/dev/null 2>&1 || missing+=("${pair%% *} (Debian package ${pair#* })")
done
locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' || missing+=("the ja_JP.UTF-8 locale (locales, then locale-gen)")
if [ ${#missing[@]} -gt 0 ]; then
  echo "release: missing, please install:" >&2
  printf '  %s\n' "${missing[@]}" >&2
  echo "(bash scripts/setup.sh installs everything the project needs)" >&2
  exit 1
fi

version=$(tr -d ' \r\n' < VERSION)
name=update-$version
echo "== building update.exe, update-check.exe and update-pack.exe $version (32-bit)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target update update-check update-pack >/dev/null

build=build/win32
for program in "$build/update.exe" "$build/update_check/update-check.exe" "$build/update_pack/update-pack.exe"; do
  # Stripped, and carrying the version of the file VERSION in its version resource.
  if i686-w64-mingw32-nm "$program" 2>&1 | grep -qv 'no symbols'; then
    echo "release: $program is not stripped" >&2; exit 1
  fi
  python3 - "$program" "$version" <<'CHECK' || { echo "release: $program has no version resource $version" >&2; exit 1; }
import sys
data = open(sys.argv[1], "rb").read()
sys.exit(not all(text.encode("utf-16-le") in data for text in ("FileVersion\0", sys.argv[2] + "\0")))
CHECK
done

stage=dist/$name
rm -rf "$stage" "dist/$name.zip"
mkdir -p "$stage/docs"
cp "$build/update.exe" "$build/update_check/update-check.exe" "$build/update_pack/update-pack.exe" "$stage/"
bash scripts/build-guide.sh "$stage/docs"
# The kit's README is kept in UTF-8; it ships like update.ini, for Notepad on a Japanese Windows.
iconv -f UTF-8 -t CP932 docs/kit-readme.txt | sed 's/$/\r/' > "$stage/README.txt"
# Byte for byte: update.ini stays Shift-JIS with CR LF.
cp -R sample "$stage/sample"
(cd "$stage" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort | tr '\n' '\0' | xargs -0 sha256sum > SHA256SUMS)
# Every file dated like the commit it was made from, in a fixed order, so the same sources give the
# same zip. Names are stored as UTF-8 and flagged so, which Windows' own extractor and 7-Zip read:
# the sample's Japanese names arrive whole.
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
python3 - "$stage" "dist/$name.zip" "$stamp" <<'ZIP'
import os, sys, time, zipfile
stage, zip_path, stamp = sys.argv[1], sys.argv[2], int(sys.argv[3])
top = os.path.dirname(stage)
paths = sorted(os.path.join(folder, name) for folder, _, names in os.walk(stage) for name in names)
with zipfile.ZipFile(zip_path, "w", zipfile.ZIP_DEFLATED) as archive:
    for path in paths:
        entry = zipfile.ZipInfo(os.path.relpath(path, top), time.gmtime(stamp)[:6])
        entry.external_attr = 0o644 << 16
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(path, "rb") as source:
            archive.writestr(entry, source.read())
ZIP
rm -rf "$stage"

echo "== checking dist/$name.zip as a publisher receives it"
check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT
unzip -q "dist/$name.zip" -d "$check"
(cd "$check/$name" && sha256sum --quiet -c SHA256SUMS) || { echo "release: SHA256SUMS does not verify" >&2; exit 1; }
bash scripts/check-guide.sh "$check/$name/docs" build/guide
echo "   (the pages as Chromium drew them: build/guide/guide.ja.png, build/guide/guide.png)"
source scripts/wine.sh
checker=$check/$name/update-check.exe
if [[ " $RUNNABLE_PRESETS " != *" win32 "* ]]; then
  # The zip's own checker cannot run here; the 64-bit build of the same sources checks its sample.
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 --target update-check >/dev/null
  build=build/win64 checker=$top/build/win64/update_check/update-check.exe
fi
export WINEPREFIX=$top/$build/wineprefix WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
sh tests/make-wine-prefix.sh "$WINEPREFIX" >/dev/null 2>&1
sh tests/unit/sample-package-test.sh "$checker" "$check/$name/sample" "$version"

echo "== dist/$name.zip"
unzip -l "dist/$name.zip"
