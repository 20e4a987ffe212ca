#!/usr/bin/env bash
# Signs a file for the update check: writes FILE.sig, the raw 64-byte Ed25519 signature of the
# whole file by the private key in KEY.pem (made with: openssl genpkey -algorithm ed25519).
# Usage: scripts/sign-file.sh FILE KEY.pem
set -euo pipefail

if [[ $# -ne 2 ]]; then
    echo "Usage: $0 FILE KEY.pem" >&2
    exit 2
fi
file="$1"
key="$2"
signature="$file.sig"
partial="$signature.partial"
# Whatever signature an earlier run left goes first, so that a failed run leaves none that a later
# step could take for the file's.
rm -f "$signature"
if [[ ! -f "$file" || ! -r "$file" ]]; then
    echo "sign-file.sh: no readable file to sign at $file" >&2
    exit 1
fi
if [[ ! -f "$key" || ! -r "$key" ]]; then
    echo "sign-file.sh: no readable private key at $key" >&2
    exit 1
fi
if ! command -v openssl >/dev/null; then
    echo "sign-file.sh: the openssl command is missing (scripts/install-deps.sh installs it)" >&2
    exit 1
fi

# Written beside the target and renamed when complete.
trap 'rm -f "$partial"' EXIT
if ! openssl pkeyutl -sign -rawin -inkey "$key" -in "$file" -out "$partial"; then
    echo "sign-file.sh: openssl could not sign $file with $key (an Ed25519 private key?)" >&2
    exit 1
fi
size=$(stat -c %s "$partial")
if [[ "$size" -ne 64 ]]; then
    echo "sign-file.sh: the signature of $file has $size bytes, not 64: is $key an Ed25519 key?" >&2
    exit 1
fi
mv "$partial" "$signature"
echo "$signature"
