#!/bin/sh
# Makes the Wine prefix the tests run in, once. Without a window manager under Xvfb, Wine waits
# two seconds whenever a window is hidden or destroyed unless its windows are unmanaged.
set -e
prefix="$1"
export WINEPREFIX="$prefix"
mkdir -p "$(dirname "$prefix")"
if [ ! -f "$prefix/.update-tests-ready" ]; then
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$prefix/.update-tests-ready"
fi
# Wine draws the caption buttons with the Marlett font; unless the prefix's Fonts folder holds it
# they show as plain letters ("r" for the close box). Debian ships it in fonts-wine.
fonts="$prefix/drive_c/windows/Fonts"
if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
  cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
fi
