#!/usr/bin/env bash
# Installs what building and testing update.exe needs on a Debian machine: the mingw-w64 cross
# compilers, Wine (64-bit with its 32-bit half), Xvfb, Japanese fonts and the ja_JP.UTF-8 locale
# that gives Wine the Japanese ANSI code page; pandoc, which makes the guide's pages, and Chromium,
# in which they are checked (about 20 s of the install); osslsigncode and openssl, with which the
# release signs the kit's programs and its test makes a certificate. Does nothing that is already
# done.
set -euo pipefail

packages=(cmake ninja-build mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          wine wine32:i386 wine64 xvfb xauth x11-apps x11-utils imagemagick locales fonts-ipafont-gothic fonts-wine
          googletest zip e2fsprogs bc python3 pandoc chromium osslsigncode openssl)

missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  echo "setup: installing ${missing[*]}"
  $sudo_cmd dpkg --add-architecture i386
  $sudo_cmd apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo_cmd tee -a /etc/locale.gen >/dev/null
  $sudo_cmd locale-gen >/dev/null
fi
