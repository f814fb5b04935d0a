#!/bin/sh
# check-imports.sh <objdump> <exe>: fails when the program imports a DLL that is not part of Windows
# itself (the player has no compiler runtime to install), or none at all.
dlls=$("$1" -p "$2" | sed -n 's/^[[:space:]]*DLL Name: //p')
echo "$dlls"
[ -n "$dlls" ] && ! echo "$dlls" | grep -viE \
  '^(kernel32|user32|gdi32|advapi32|comctl32|ole32|oleaut32|imagehlp|shell32|version|msvcrt|ucrtbase|api-ms-win-.*)\.dll$'
