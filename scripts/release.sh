#!/usr/bin/env bash
# Makes every file of a release in build/release-artifacts/ (make release):
#   quillfen_VERSION_amd64.deb            the Debian package (checked with lintian)
#   quillfen-VERSION.tar.gz               the source archive of the commit (git archive)
#   QuillfenSetup-VERSION.exe (+ .sig)    the Windows setup, optimised and stripped
#   quillfen-VERSION-windows-x64.zip (+ .sig)   the portable Windows copy, also its update archive
#   quillfen-VERSION-linux-x86_64.zip (+ .sig)  the portable Linux copy's update archive
#   SHA256SUMS                            the checksums of all of the above
# The signatures are made with the Ed25519 private key in the PEM file that QUILLFEN_RELEASE_KEY
# names; its public key is built into the programs (QUILLFEN_UPDATE_PUBLIC_KEY), so that they
# accept updates signed with it and nothing else. The key never enters the repository or a build
# folder. The version is QUILLFEN_VERSION from the environment, else the default of the build
# setting of that name in CMakeLists.txt; the update server's address is QUILLFEN_UPDATE_BASE from
# the environment, when it is set, else what the build folders were configured with.
set -euo pipefail
cd "$(dirname "$0")/.."
fail() {
  echo "release.sh: $*" >&2
  exit 1
}

key=${QUILLFEN_RELEASE_KEY:-}
[ -n "$key" ] || fail "QUILLFEN_RELEASE_KEY is not set: it names the PEM file of the release's \
Ed25519 private key (make one with: openssl genpkey -algorithm ed25519 -out release-key.pem)"
[ -r "$key" ] || fail "QUILLFEN_RELEASE_KEY names $key, which cannot be read"
key=$(realpath "$key")
key_kind=$(openssl pkey -in "$key" -noout -text 2>/dev/null | sed -n 1p || true)
[[ "$key_kind" == "ED25519 Private-Key"* ]] || fail "$key holds no Ed25519 private key in PEM form"
# The public key is the last 32 bytes of its DER form.
public_key=$(openssl pkey -in "$key" -pubout -outform DER | tail -c 32 | xxd -p -c 64)
[[ "$public_key" =~ ^[0-9a-f]{64}$ ]] || fail "no public key could be read from $key"

version=${QUILLFEN_VERSION:-$(sed -n 's/^set(QUILLFEN_VERSION \([0-9.]*\) CACHE.*/\1/p' CMakeLists.txt)}
[[ "$version" =~ ^[0-9]+(\.[0-9]+)*$ ]] || fail "no version in digits and dots: '$version'"
settings=(-DQUILLFEN_VERSION="$version")
[ -z "${QUILLFEN_UPDATE_BASE:-}" ] || settings+=(-DQUILLFEN_UPDATE_BASE="$QUILLFEN_UPDATE_BASE")
# The programs are built from the working tree and the source archive from the commit: they are
# the same only when nothing is changed or new.
if [ -n "$(git status --porcelain)" ] && [ "${QUILLFEN_RELEASE_ALLOW_CHANGES:-}" != 1 ]; then
  fail "the working tree has changes that the source archive would lack; commit them first (or \
set QUILLFEN_RELEASE_ALLOW_CHANGES=1 to try the release out)"
fi
# Every archive entry and the package's files carry the commit's time.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH

artifacts=build/release-artifacts
rm -rf "$artifacts"
mkdir -p "$artifacts"
step() { echo "== $*"; }

step "Linux programs and the Debian package (package preset)"
cmake --preset package -DCMAKE_INSTALL_PREFIX=/usr -DQUILLFEN_UPDATE_PUBLIC_KEY="$public_key" \
  "${settings[@]}" >/dev/null
cmake --build --preset package -j2
rm -f build/package/quillfen_*.deb
(cd build/package && cpack -G DEB >/dev/null)
deb=build/package/quillfen_${version}_amd64.deb
[ -f "$deb" ] || fail "cpack made no $deb"
cp "$deb" "$artifacts/"
lintian --fail-on error,warning --display-info "$artifacts/$(basename "$deb")" ||
  fail "lintian finds errors or warnings in the package"
scripts/portable-zip.sh --strip strip "$artifacts/quillfen-$version-linux-x86_64.zip" LICENSE \
  build/package/bin/Language build/package/bin/quillfen build/package/bin/quillfen-cli \
  build/package/bin/libquillfen-icu.so build/package/bin/libquillfen-mime.so >/dev/null

step "Windows programs and the setup (windows-release preset)"
export WINEPREFIX=$PWD/build/windows-release/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree="
cmake --preset windows-release -DQUILLFEN_UPDATE_PUBLIC_KEY="$public_key" "${settings[@]}" \
  >/dev/null
cmake --build --preset windows-release -j2 --target quillfen_setup
cp "build/windows-release/QuillfenSetup-$version.exe" "$artifacts/"
scripts/portable-zip.sh --strip x86_64-w64-mingw32-strip \
  "$artifacts/quillfen-$version-windows-x64.zip" LICENSE build/windows-release/bin/Language \
  build/windows-release/bin/quillfen.exe build/windows-release/bin/quillfen-cli.exe >/dev/null

step "Source archive"
git archive --format=tar.gz --prefix="quillfen-$version/" -o "$artifacts/quillfen-$version.tar.gz" \
  HEAD

step "Signatures and checksums"
public_pem=$(mktemp)
trap 'rm -f "$public_pem"' EXIT
openssl pkey -in "$key" -pubout -out "$public_pem"
for signed in "QuillfenSetup-$version.exe" "quillfen-$version-windows-x64.zip" \
    "quillfen-$version-linux-x86_64.zip"; do
  scripts/sign-file.sh "$artifacts/$signed" "$key"
  # A signature that does not verify would make every update refuse the release.
  openssl pkeyutl -verify -pubin -inkey "$public_pem" -rawin -in "$artifacts/$signed" \
    -sigfile "$artifacts/$signed.sig" >/dev/null || fail "the signature of $signed does not verify"
done
(cd "$artifacts" && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort |
  xargs sha256sum >SHA256SUMS)

step "Release $version in $artifacts (programs trust the public key $public_key)"
ls -l "$artifacts"
