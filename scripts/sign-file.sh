#!/usr/bin/env bash
# Writes FILE.sig, the raw 64-byte Ed25519 signature of FILE's bytes made with the private key in
# KEY.pem, as the update checks it.
#   sign-file.sh FILE KEY.pem
set -euo pipefail
file=${1:?usage: sign-file.sh FILE KEY.pem}
key=${2:?usage: sign-file.sh FILE KEY.pem}
openssl pkeyutl -sign -rawin -inkey "$key" -in "$file" -out "$file.sig"
