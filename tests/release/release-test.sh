#!/usr/bin/env bash
# scripts/release.sh as a publisher runs it, into a temporary folder. Unsigned, it makes the zip and
# says so. Signed with a code-signing certificate made here (self-signed, with openssl), each
# program of the zip verifies with osslsigncode, SHA256SUMS verifies over the signed files, and
# one byte changed in a signed program fails the verification. A wrong password, an expired
# certificate and a missing one each stop it with their message and leave no zip, not even the
# one of the run before. The guide's pages are left to scripts/test.sh, which checks them.
set -u
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export RELEASE_DIR=$work/dist RELEASE_SKIP_PAGE_CHECK=1
zip=$work/dist/update-$(tr -d ' \r\n' <"$top/VERSION").zip
status=0
fail() { echo "FAIL $*"; status=1; }
sh "$top/tests/make-certificate.sh" "$work" publisher ルミベインワークス 30
sh "$top/tests/make-certificate.sh" "$work" expired ルミベインワークス -1
printf 'not the password\n' >"$work/wrong.password"

bash "$top/scripts/release.sh" >"$work/unsigned.log" 2>&1 || fail "unsigned: exit code $?"
grep -q '^== the programs are unsigned' "$work/unsigned.log" && [ -f "$zip" ] || fail "unsigned: no zip, or not said"

# arguments after --sign | what it says
while IFS='|' read -r arguments said; do
  read -ra words <<<"$arguments"
  bash "$top/scripts/release.sh" --sign "${words[@]}" >"$work/stopped.log" 2>&1 && fail "$said: it went on"
  grep -qF "$said" "$work/stopped.log" || { fail "$said: not said"; cat "$work/stopped.log"; }
  [ ! -e "$zip" ] || fail "$said: a zip is left"
done <<ROWS
$work/publisher.pfx --password-file $work/wrong.password|the password is wrong
$work/expired.pfx --password-file $work/expired.password|expired on
$work/missing.pfx --password-file $work/publisher.password|does not exist
ROWS

bash "$top/scripts/release.sh" --sign "$work/publisher.pfx" --password-file "$work/publisher.password" \
  >"$work/signed.log" 2>&1 || { fail "signed: exit code $?"; cat "$work/signed.log"; }
unzip -q "$zip" -d "$work/kit" && cd "$work/kit"/update-* || exit 1
for program in update.exe update-check.exe update-pack.exe; do
  osslsigncode verify -in "$program" -CAfile "$work/publisher.pem" >/dev/null 2>&1 || fail "$program: the signature does not verify"
done
sha256sum --quiet -c SHA256SUMS || fail "SHA256SUMS does not verify over the signed programs"
python3 -c 'import sys; f = open(sys.argv[1], "r+b"); f.seek(5000); b = f.read(1); f.seek(5000); f.write(bytes([b[0] ^ 0xFF]))' update.exe
osslsigncode verify -in update.exe -CAfile "$work/publisher.pem" >/dev/null 2>&1 && fail "a changed byte still verifies"
[ "$status" -eq 0 ] && echo "ok   the release unsigned and signed; a wrong password, an expired certificate, a missing one"
exit $status
