#!/bin/sh
# update-check.exe run as a publisher runs it from a Linux shell: its report arrives in a pipe as
# UTF-8 (the Japanese messages readable), and its exit code says pass (0), fail (1), unreadable (2).
set -u
checker="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

expect() {  # expect <name> <exit code> <text the report must hold> <folder>
  output=$(wine "$checker" "$4" 2>/dev/null)
  code=$?
  if [ "$code" -ne "$2" ]; then
    echo "FAIL $1: exit code $code, expected $2"; printf "%s\n" "$output"; status=1
  elif ! printf '%s\n' "$output" | grep -qF -- "$3"; then
    echo "FAIL $1: the report lacks: $3"; printf "%s\n" "$output"; status=1
  else
    echo "ok   $1"
  fi
}

# Saved as a publisher saves it: Shift-JIS, CR LF.
write_ini() {  # write_ini <folder> <lines in UTF-8>...
  folder="$1"; shift
  mkdir -p "$folder/GAMEDATA"
  printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932 > "$folder/update.ini"
}

write_ini "$work/pass" 'GAME_NAME = "ルミベイン物語"' 'REG_NAME = "LumivaneStory"' \
  'COPY_FILE_COUNT = 1' 'COPY_FILE_00 = "読んでね.txt"'
printf 'hello' > "$work/pass/GAMEDATA/読んでね.txt"
expect "a passing package" 0 '                5  読んでね.txt' "$work/pass"

write_ini "$work/fail" 'GAME_NAME = "ルミベイン物語"'
expect "a failing check" 1 'update.ini にレジストリ名が指定されていません。' "$work/fail"

mkdir -p "$work/none/GAMEDATA"
expect "no update.ini" 2 'update.ini が見つかりませんでした。' "$work/none"

# In a terminal Wine gives the program a console: WriteConsoleW, shown in the terminal's UTF-8.
if command -v script >/dev/null 2>&1; then
  shown=$(script -qc "wine '$checker' '$work/fail'" /dev/null 2>/dev/null)
  if printf '%s\n' "$shown" | grep -qF 'update.ini にレジストリ名が指定されていません。'; then
    echo "ok   in a terminal"
  else
    echo "FAIL in a terminal: the Japanese message is not readable"; printf '%s\n' "$shown"; status=1
  fi
fi

output=$(wine "$checker" --no-such-option 2>/dev/null)
[ $? -eq 2 ] && echo "ok   a wrong command line" || { echo "FAIL a wrong command line"; status=1; }
exit $status
