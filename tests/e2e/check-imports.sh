#!/bin/sh
# check-imports.sh <objdump> <exe>...: fails when a program imports no DLL, or one that is not a
# known DLL of Windows: the player has no compiler runtime to install, and any other DLL Windows
# would look for beside the program first. Others are loaded from System32 once the program runs.
objdump="$1"
shift
for exe; do
  dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
  echo "$exe:" $dlls
  [ -n "$dlls" ] && ! echo "$dlls" | grep -viE '^(kernel32|user32|advapi32|ole32|msvcrt|ucrtbase|api-ms-win-.*)\.dll$' || exit 1
done
