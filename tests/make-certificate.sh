#!/bin/sh
# A publisher's code-signing certificate for the tests, made here and self-signed: <folder>/<name>.pfx
# with its private key, protected by the password in <folder>/<name>.password, and the certificate
# alone in <folder>/<name>.pem. It is valid for <days> from now; -1 makes one that expired a day ago.
# Usage: make-certificate.sh <folder> <name> <signer's name> <days>
set -e
base=$1/$2
printf '%s\n' '[code_signing]' 'basicConstraints = critical,CA:FALSE' 'keyUsage = critical,digitalSignature' \
  'extendedKeyUsage = codeSigning' > "$base.cnf"
openssl req -new -newkey rsa:2048 -nodes -keyout "$base.key" -subj "/CN=$3" -utf8 -out "$base.csr" 2>/dev/null
# x509 -req, unlike req -x509, takes a validity that ended before it began.
openssl x509 -req -in "$base.csr" -signkey "$base.key" -days "$4" -extfile "$base.cnf" -extensions code_signing \
  -out "$base.pem" 2>/dev/null
printf 'kit pass 1\n' > "$base.password"
openssl pkcs12 -export -inkey "$base.key" -in "$base.pem" -out "$base.pfx" -passout "file:$base.password"
