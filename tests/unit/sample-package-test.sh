#!/bin/sh
# update-check.exe on the sample package, as a release pipeline runs it on the zip it ships: the
# sample passes (exit 0), its --json report parses and tells the same, its Japanese and English
# reports are whole, --version is the project's
# version, each part of an installation it needs is judged on its own, and beside a missing
# update.ini an update.ini.txt is named as the likely cause.
# Usage: sample-package-test.sh <update-check.exe> <sample folder> <version>
set -u
checker="$1"
sample="$2"
version="$3"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL $*"; status=1; }

wine "$checker" "$sample" >"$work/report.txt" 2>/dev/null || fail "the sample: exit code $?, expected 0"
wine "$checker" "$sample" --json >"$work/report.json" 2>/dev/null
python3 - "$work/report.json" <<'CHECK' || fail "the sample's --json report"
import json, sys
report = json.load(open(sys.argv[1], encoding="utf-8"))
assert (report["exit_code"], report["result"]) == (0, "passed"), report["result"]
assert all(check["verdict"] in ("passed", "off", "not judged") for check in report["checks"]), report["checks"]
files = [file for group in report["plan"]["groups"] for file in group["files"]]
assert len(files) == report["plan"]["files"] == 9, files
assert sum(file["bytes"] for file in files) == report["plan"]["bytes"]
assert {"key": "GAME_NAME", "value": "ルミベイン物語", "replaces_line": 0} in report["lines"][2]["sets"]
CHECK
# The Japanese report and the English one are both whole: every heading in its language.
wine "$checker" "$sample" --lang ja >"$work/report.ja.txt" 2>/dev/null
wine "$checker" "$sample" --lang en >"$work/report.en.txt" 2>/dev/null
python3 - "$work/report.ja.txt" "$work/report.en.txt" <<'CHECK' || fail "the Japanese and the English report"
import sys
ja, en = ([line for line in open(path, encoding="utf-8").read().splitlines() if line and line[0] != " "] for path in sys.argv[1:])
assert len(ja) == len(en) >= 7, (ja, en)
assert all(any(ord(c) > 127 for c in line) for line in ja), [line for line in ja if line.isascii()]
assert all(line.split(" Z:")[0].isascii() for line in en), en
CHECK
[ "$(wine "$checker" --version 2>/dev/null)" = "update-check $version" ] || fail "--version does not say $version"

# A game installed without its media folders and with a minimal data set-up: every part fails on
# its own, and the player sees the first of them.
mkdir -p "$work/game" && : >"$work/game/Lumivane.exe"
wine "$checker" "$sample" --install "$work/game" --value DAT_EXIST=0 --json >"$work/game.json" 2>/dev/null
python3 - "$work/game.json" <<'CHECK' || fail "the installation checks"
import json, sys
report = json.load(open(sys.argv[1], encoding="utf-8"))
failed = {check["name"]: check["message"] for check in report["checks"] if check["verdict"] == "failed"}
again = "\nゲームが正しくセットアップされていることを確認してください。"
assert failed == {"BGM": "BGM フォルダが見つかりません。" + again, "KOE": "音声フォルダが見つかりません。" + again,
                  "MOV": "ムービーフォルダが見つかりません。" + again,
                  "DAT": "データがセットアップされていません。\n\n最小セットアップになっていませんか？\n"
                         "最小セットアップではアップデートを行うことはできません。"}, failed
assert (report["exit_code"], report["player_sees_first"]["boxes"][0]["text"]) == (1, failed["BGM"])
CHECK

mkdir -p "$work/saved-as-txt/GAMEDATA"
cp "$sample/update.ini" "$work/saved-as-txt/update.ini.txt"
wine "$checker" "$work/saved-as-txt" --lang en >"$work/txt-report.txt" 2>/dev/null
code=$?
[ "$code" -eq 2 ] && grep -q 'holds "update.ini.txt"' "$work/txt-report.txt" || fail "update.ini.txt: exit code $code"
[ "$status" -eq 0 ] && echo "ok   the sample package passes; --json, --version, the installation checks, update.ini.txt"
exit $status
