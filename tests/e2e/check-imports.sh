#!/bin/sh
# Fails when the executable imports a DLL that is not part of Windows itself: the player has no
# compiler runtime to install.
objdump="$1"
exe="$2"
dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
if [ -z "$dlls" ]; then
  echo "no imported DLL found in $exe"
  exit 1
fi
status=0
for dll in $dlls; do
  case "$(printf '%s' "$dll" | tr 'A-Z' 'a-z')" in
    kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|comctl32.dll|ole32.dll|oleaut32.dll|imagehlp.dll|\
    shell32.dll|version.dll|msvcrt.dll|ucrtbase.dll|api-ms-win-*.dll)
      echo "Windows DLL: $dll" ;;
    *)
      echo "not a Windows DLL: $dll"
      status=1 ;;
  esac
done
exit $status
