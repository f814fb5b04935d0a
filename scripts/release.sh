#!/usr/bin/env bash
# Makes the release package dist/update-<version>.zip for publishers: the kit's README, the 32-bit
# update.exe they ship, the package checker update-check.exe and the package maker update-pack.exe
# (all three stripped, all with their version resource, signed with --sign), the guide in Japanese
# and in English as pages with their screenshots inside, the sample package of sample/ with its
# note for players, and SHA256SUMS for every file in it. Then checks the zip as a publisher
# receives it: the sums verify, update-check passes on the zip's own sample and tells the
# signature of the zip's update.exe, and the guide's pages pass in Chromium.
#
# Usage: release.sh [--sign <certificate.pfx> [--password-file <file>] [--timestamp <url>]]
#   --sign           signs the three programs with Authenticode (SHA-256) with the publisher's
#                    code-signing certificate and its private key, verifies each signature, and
#                    only then writes SHA256SUMS over the signed files
#   --password-file  the certificate's password is the first line of this file; without it, the
#                    environment variable UPDATE_SIGN_PASSWORD. Never on the command line, where
#                    every user of the machine sees it in ps.
#   --timestamp      an RFC 3161 timestamp server, so that the signature outlives the certificate
# A release that stops on the way, for whatever reason, says why and leaves no zip, not even an
# earlier one.
# For the release's own test: RELEASE_DIR, where the zip goes instead of dist/; and
# RELEASE_SKIP_PAGE_CHECK=1, which leaves out the Chromium check of the pages, for a caller that
# checks the same pages itself (scripts/test.sh does).
#
# Installs nothing: when a tool is missing it says which, and how to get it.
set -euo pipefail

fail() { echo "release: $*" >&2; exit 1; }
usage() { fail "usage: release.sh [--sign <certificate.pfx> [--password-file <file>] [--timestamp <url>]]"; }
certificate="" password_file="" timestamp=""
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case "$1" in
    # Made whole here: the script works from the top of the repository.
    --sign) certificate=$(realpath -m -- "$2") ;;
    --password-file) password_file=$(realpath -m -- "$2") ;;
    --timestamp) timestamp=$2 ;;
    *) usage ;;
  esac
  shift 2
done
[ -n "$certificate" ] || [ -z "$password_file$timestamp" ] || usage
out=$(realpath -m -- "${RELEASE_DIR:-$(dirname "$0")/../dist}")

cd "$(dirname "$0")/.."
top=$PWD

# tool, and the Debian package that brings it
needed=(
  "cmake cmake" "ninja ninja-build" "i686-w64-mingw32-g++-posix g++-mingw-w64-i686-posix"
  "i686-w64-mingw32-windres binutils-mingw-w64-i686" "i686-w64-mingw32-nm binutils-mingw-w64-i686"
  "unzip unzip" "sha256sum coreutils" "wine wine" "python3 python3" "iconv libc-bin"
  "pandoc pandoc" "chromium chromium"
)
[ -z "$certificate" ] || needed+=("osslsigncode osslsigncode" "openssl openssl")
missing=()
for pair in "${needed[@]}"; do
  command -v "${pair%% *}" >/dev/null 2>&1 || missing+=("${pair%% *} (Debian package ${pair#* })")
done
locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' || missing+=("the ja_JP.UTF-8 locale (locales, then locale-gen)")
if [ ${#missing[@]} -gt 0 ]; then
  echo "release: missing, please install:" >&2
  printf '  %s\n' "${missing[@]}" >&2
  echo "(bash scripts/setup.sh installs everything the project needs)" >&2
  exit 1
fi

version=$(tr -d ' \r\n' < VERSION)
name=update-$version
zip=$out/$name.zip
stage=$out/$name
work=$(mktemp -d)
# The zip is left only by a release that got to its end: an earlier one goes now, a failed one on
# the way out.
mkdir -p "$out"
rm -rf "$zip" "$stage"
trap 'status=$?; rm -rf "$work" "$stage"; [ $status -eq 0 ] || rm -f "$zip"' EXIT

# The certificate is read before anything is built, so that a wrong password stops at once.
if [ -n "$certificate" ]; then
  [ -f "$certificate" ] || fail "the certificate $certificate does not exist"
  # The password only ever in a file of this run's own, which openssl and osslsigncode read.
  secret=$work/password
  (umask 077 && : > "$secret")
  if [ -n "$password_file" ]; then
    [ -r "$password_file" ] || fail "the password file $password_file cannot be read"
    head -n 1 "$password_file" | tr -d '\r\n' > "$secret"
  elif [ -n "${UPDATE_SIGN_PASSWORD+set}" ]; then
    printf '%s' "$UPDATE_SIGN_PASSWORD" > "$secret"
  else
    fail "no password for $certificate: give --password-file <file> or set UPDATE_SIGN_PASSWORD"
  fi
  # Older Windows exports use ciphers OpenSSL 3 reads only with its legacy provider.
  read_pfx() { openssl pkcs12 -in "$certificate" -passin "file:$secret" "$@" 2>/dev/null ||
               openssl pkcs12 -legacy -in "$certificate" -passin "file:$secret" "$@" 2>/dev/null; }
  read_pfx -nokeys -out "$work/certificates.pem" ||
    fail "cannot open the certificate $certificate with the password given: the password is wrong, or the file is not a .pfx (PKCS #12)"
  # Read into grep, never onto the disk: the key stays inside the .pfx.
  read_pfx -nocerts -nodes | grep -- '-----BEGIN .*PRIVATE KEY-----' >/dev/null ||
    fail "$certificate holds no private key: export the certificate with its private key"
  read_pfx -nokeys -clcerts -out "$work/signer.pem" && [ -s "$work/signer.pem" ] ||
    fail "$certificate holds no certificate of its own key"
  until=$(openssl x509 -in "$work/signer.pem" -noout -enddate | sed 's/^notAfter=//')
  openssl x509 -in "$work/signer.pem" -noout -checkend 0 >/dev/null ||
    fail "the certificate in $certificate expired on $until: renew it with its issuer"
  usage_found=$(openssl x509 -in "$work/signer.pem" -noout -ext extendedKeyUsage 2>/dev/null || true)
  [ -z "$usage_found" ] || grep -q 'Code Signing' <<<"$usage_found" ||
    fail "the certificate in $certificate is not for code signing: $(tail -n 1 <<<"$usage_found" | sed 's/^ *//')"
  signer=$(openssl x509 -in "$work/signer.pem" -noout -subject -nameopt utf8,sep_comma_plus_space | sed 's/^subject=//')
  echo "== signing with the certificate of $signer (valid until $until)"
fi

echo "== building update.exe, update-check.exe and update-pack.exe $version (32-bit)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target update update-check update-pack >/dev/null

build=build/win32
programs=(update.exe update-check.exe update-pack.exe)
mkdir -p "$stage/docs"
cp "$build/update.exe" "$build/update_check/update-check.exe" "$build/update_pack/update-pack.exe" "$stage/"

if [ -n "$certificate" ]; then
  # The .pfx's own certificates beside the system's roots: a self-signed or privately issued
  # certificate verifies against itself, a bought one against the root it chains to.
  cat /etc/ssl/certs/ca-certificates.crt "$work/certificates.pem" > "$work/trusted.pem" 2>/dev/null ||
    cp "$work/certificates.pem" "$work/trusted.pem"
  stamping=()
  [ -z "$timestamp" ] || stamping=(-ts "$timestamp")
  for program in "${programs[@]}"; do
    osslsigncode sign -pkcs12 "$certificate" -readpass "$secret" -h sha256 -n "$program" "${stamping[@]}" \
        -in "$stage/$program" -out "$work/signed.exe" >"$work/osslsigncode.log" 2>&1 ||
      { sed 's/^/   /' "$work/osslsigncode.log" >&2; fail "signing $program failed${timestamp:+ (does the timestamp server $timestamp answer?)}"; }
    mv "$work/signed.exe" "$stage/$program"
    osslsigncode verify -in "$stage/$program" -CAfile "$work/trusted.pem" >"$work/osslsigncode.log" 2>&1 ||
      { grep -i -E 'error|failed|mismatch' "$work/osslsigncode.log" | sed 's/^/   /' >&2
        fail "the signature of $program does not verify"; }
    echo "   $program: signed (Authenticode, SHA-256${timestamp:+, timestamped}) and verified"
  done
else
  echo "== the programs are unsigned: players' Windows shows them as from an unknown publisher"
  echo "   (bash scripts/release.sh --sign <certificate.pfx> signs them; the guide's コード署名 tells how)"
fi

for program in "${programs[@]}"; do
  # Stripped, and carrying the version of the file VERSION in its version resource; signing
  # appends its certificate table and changes neither.
  if i686-w64-mingw32-nm "$stage/$program" 2>&1 | grep -qv 'no symbols'; then
    fail "$program is not stripped"
  fi
  python3 - "$stage/$program" "$version" <<'CHECK' || fail "$program has no version resource $version"
import sys
data = open(sys.argv[1], "rb").read()
sys.exit(not all(text.encode("utf-16-le") in data for text in ("FileVersion\0", sys.argv[2] + "\0")))
CHECK
done

bash scripts/build-guide.sh "$stage/docs"
# The kit's README is kept in UTF-8; it ships like update.ini, for Notepad on a Japanese Windows.
iconv -f UTF-8 -t CP932 docs/kit-readme.txt | sed 's/$/\r/' > "$stage/README.txt"
# Byte for byte: update.ini stays Shift-JIS with CR LF.
cp -R sample "$stage/sample"
# Over the programs as they ship, signed or not.
(cd "$stage" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort | tr '\n' '\0' | xargs -0 sha256sum > SHA256SUMS)
# Every file dated like the commit it was made from, in a fixed order, so the same sources give the
# same zip. Names are stored as UTF-8 and flagged so, which Windows' own extractor and 7-Zip read:
# the sample's Japanese names arrive whole.
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
python3 - "$stage" "$zip" "$stamp" <<'ZIP'
import os, sys, time, zipfile
stage, zip_path, stamp = sys.argv[1], sys.argv[2], int(sys.argv[3])
top = os.path.dirname(stage)
paths = sorted(os.path.join(folder, name) for folder, _, names in os.walk(stage) for name in names)
with zipfile.ZipFile(zip_path, "w", zipfile.ZIP_DEFLATED) as archive:
    for path in paths:
        entry = zipfile.ZipInfo(os.path.relpath(path, top), time.gmtime(stamp)[:6])
        entry.external_attr = 0o644 << 16
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(path, "rb") as source:
            archive.writestr(entry, source.read())
ZIP
rm -rf "$stage"

shown=${zip#"$top/"}
echo "== checking $shown as a publisher receives it"
check=$work/check
unzip -q "$zip" -d "$check"
(cd "$check/$name" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not verify"
if [ "${RELEASE_SKIP_PAGE_CHECK:-0}" = 1 ]; then
  echo "   (the guide's pages are not checked in Chromium here: RELEASE_SKIP_PAGE_CHECK=1)"
else
  bash scripts/check-guide.sh "$check/$name/docs" build/guide
  echo "   (the pages as Chromium drew them: build/guide/guide.ja.png, build/guide/guide.png)"
fi
source scripts/wine.sh
checker=$check/$name/update-check.exe
if [[ " $RUNNABLE_PRESETS " != *" win32 "* ]]; then
  # The zip's own checker cannot run here; the 64-bit build of the same sources checks its sample.
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 --target update-check >/dev/null
  build=build/win64 checker=$top/build/win64/update_check/update-check.exe
fi
export WINEPREFIX=$top/$build/wineprefix WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
sh tests/make-wine-prefix.sh "$WINEPREFIX" >/dev/null 2>&1
sh tests/unit/sample-package-test.sh "$checker" "$check/$name/sample" "$version"
# The sample as a publisher ships it, with the kit's update.exe beside update.ini: the checker
# reads the signature the player's Windows will find.
cp "$check/$name/update.exe" "$check/$name/sample/"
wine "$checker" "$check/$name/sample" --json >"$work/exe.json" 2>/dev/null || fail "update-check fails the sample beside the kit's update.exe"
python3 - "$work/exe.json" "${certificate:+signed}" <<'CHECK' || fail "update-check reads the kit's update.exe otherwise than it was made"
import json, sys
exe = json.load(open(sys.argv[1], encoding="utf-8"))["update_exe"]
# Windows trusts the signature of a bought certificate; a self-signed one only where it was added.
wanted = ("trusted", "untrusted") if sys.argv[2] else ("none",)
assert exe["same_version"] and exe["signature"] in wanted, exe
print("ok   update-check on the sample beside the kit's update.exe: " +
      ("signed by " + exe["signer"] if exe["signed"] else "unsigned") + ", version " + exe["version"])
CHECK

echo "== $shown"
unzip -l "$zip"
