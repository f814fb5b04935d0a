#!/bin/sh
# check-resources.sh <windres> <exe>: the resources read back out of the built program: the progress
# dialog's template 101 in Japanese, field by field; the version; a manifest with no dependency, so
# that the classic common controls are used, that asks to run at the user's highest level: an
# administrator is asked once, a standard user runs as themselves.
rc=$("$1" -i "$2" -O rc) || exit 1
dialog=$(printf '%s\n' "$rc" | sed -n '/^101 DIALOGEX/,/^END/p')
expected='101 DIALOGEX 0, 0, 218, 70
STYLE 0x80c808c8
CAPTION "Dialog"
FONT 8, "MS Shell Dlg", 400, 0, 1
BEGIN
  CONTROL "", 1001, "msctls_progress32", 0x50800000, 7, 34, 204, 14
  CONTROL "", 1002, "msctls_progress32", 0x50800000, 7, 53, 204, 14
  LTEXT "...", 1003, 7, 3, 204, 14, 0x50020200
END'
[ "$dialog" = "$expected" ] || printf 'FAIL: dialog 101 is\n%s\n' "$dialog"
printf '%s\n' "$rc" | grep -B2 '^101 DIALOGEX' | grep -q '^LANGUAGE 17, 1$' || echo "FAIL: dialog 101 is not Japanese"
for line in ' FILEVERSION 1, 0, 0, 0' 'VALUE "FileVersion", "1.0.0.0"' 'VALUE "InternalName", "update"' \
  'VALUE "OriginalFilename", "update.exe"' '1 24 /* RT_MANIFEST */' '<assembly ' \
  '<requestedExecutionLevel level=""highestAvailable"" uiAccess=""false""/>'; do
  printf '%s\n' "$rc" | grep -qF -- "$line" || echo "FAIL: no $line"
done
if printf '%s\n' "$rc" | grep -qi dependency; then echo "FAIL: the manifest names a dependency"; fi
