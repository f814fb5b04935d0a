#!/usr/bin/env bash
# Makes the release package dist/update-<version>.zip: the 32-bit update.exe that publishers ship,
# the package checker update-check.exe, a sample update.ini saved as update.exe expects it
# (Shift-JIS, CR LF) and the guide for publishers with its screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
version=$(sed -n 's/^project(update VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=update-$version
echo "== building update.exe and update-check.exe $version (32-bit)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target update update-check >/dev/null

stage=dist/$name
rm -rf "$stage" "dist/$name.zip"
mkdir -p "$stage/sample" "$stage/docs"
cp build/win32/update.exe build/win32/update_check/update-check.exe "$stage/"
sed 's/$/\r/' docs/sample/update.ini.txt | iconv -f UTF-8 -t CP932 > "$stage/sample/update.ini"
cp docs/guide.md docs/*.png "$stage/docs/"
# Every file dated like the commit it was made from, so the same sources give the same zip.
stamp=$(git log -1 --format=%cd --date=format:%Y%m%d%H%M.%S 2>/dev/null || date +%Y%m%d%H%M.%S)
find "$stage" -exec touch -t "$stamp" {} +
(cd dist && find "$name" -type f | LC_ALL=C sort | zip -q -X "$name.zip" -@)
rm -rf "$stage"
echo "== dist/$name.zip"
unzip -l "dist/$name.zip"
