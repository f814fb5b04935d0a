#!/bin/sh
# update-check.exe on the update.exe lying in a package, one row per case: none (the hint), the
# built update.exe unsigned, signed with a code-signing certificate made here (its signer's name
# read back), changed by one byte after signing, cut short, and a text file renamed update.exe.
# Each row checks the Japanese report's line, the JSON's update_exe and the exit code.
# Usage: package-exe-test.sh <update-check.exe> <update.exe> <sample folder>
set -u
checker="$1"
exe="$2"
sample="$3"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
signer=ルミベインワークス
sh "$(dirname "$0")/../make-certificate.sh" "$work" publisher "$signer" 30

# The package's update.exe for a row.
lay_exe() {
  case "$1" in
    unsigned) cp "$exe" "$2/update.exe" ;;
    signed) osslsigncode sign -pkcs12 "$work/publisher.pfx" -readpass "$work/publisher.password" -h sha256 \
              -n update.exe -in "$exe" -out "$2/update.exe" >/dev/null ;;
    altered) lay_exe signed "$2"
             python3 -c 'import sys; f = open(sys.argv[1], "r+b"); f.seek(5000); b = f.read(1); f.seek(5000); f.write(bytes([b[0] ^ 0xFF]))' "$2/update.exe" ;;
    cut_short) head -c 3000 "$exe" >"$2/update.exe" ;;
    renamed_text) cp "$sample/README.txt" "$2/update.exe" ;;
  esac
}

# row | exit code | update_exe.signature in the JSON (- for none there) | the line of the Japanese report
while IFS='|' read -r row code signature said; do
  package=$work/$row
  mkdir -p "$package" && cp -R "$sample/update.ini" "$sample/GAMEDATA" "$package/"
  lay_exe "$row" "$package"
  wine "$checker" "$package" --lang ja >"$work/$row.txt" 2>/dev/null
  text_code=$?
  wine "$checker" "$package" --json >"$work/$row.json" 2>/dev/null
  grep -qF -- "$said" "$work/$row.txt" && [ "$text_code" -eq "$code" ] &&
    python3 - "$work/$row.json" "$code" "$signature" "$signer" <<'CHECK' || { echo "FAIL $row"; sed -n '/^パッケージの update.exe/,/^$/p' "$work/$row.txt"; status=1; }
import json, sys
report = json.load(open(sys.argv[1], encoding="utf-8"))
code, signature, signer = int(sys.argv[2]), sys.argv[3].split(), sys.argv[4]
exe = report["update_exe"]
assert report["exit_code"] == code, report["exit_code"]
if signature == ["-"]:
    assert exe == {"present": False, "hint": exe["hint"]} and exe["hint"], exe
else:
    assert exe["signature"] in signature, exe
    # Windows names the signer of a signature broken after signing all the same.
    assert exe["signer"] == (signer if exe["signature"] in ("trusted", "untrusted", "altered") else None), exe
    assert exe["signed"] == (exe["signer"] is not None), exe
CHECK
done <<ROWS
none|0|-|このフォルダには update.exe がありません。このままでは、プレイヤーが起動するものがありません。
unsigned|0|none|署名: なし。プレイヤーの Windows では、SmartScreen が「Windows によって PC が保護されました」と表示し
signed|0|trusted untrusted|署名: $signer (
altered|1|altered|問題: 署名の後でファイルが変更されています (署名: $signer)。
cut_short|1|none|問題: update.exe にバージョン情報がありません。
renamed_text|1|unreadable|問題: 署名を読み取れません。ファイルが壊れているか、Windows のプログラムではありません。
ROWS
[ "$status" -eq 0 ] && echo "ok   update-check on the package's update.exe: none, unsigned, signed, altered, cut short, a renamed text"
exit $status
