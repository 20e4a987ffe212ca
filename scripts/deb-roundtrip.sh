#!/usr/bin/env bash
# Builds the Debian package and takes it once around this machine: installs it with apt-get, runs
# both installed programs, removes it and checks that none of its files is left. Needs root (or
# sudo) and changes the machine's installed packages, so it is not part of make test.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if dpkg-query -W -f='${Status}' quillfen 2>/dev/null | grep -q 'install ok installed'; then
  echo "deb-roundtrip.sh: quillfen is installed already; remove it first" >&2
  exit 1
fi

make deb
package=$(ls -t build/package/quillfen_*_amd64.deb | head -n 1)
echo "== $package"
dpkg-deb --field "$package" Package Version Architecture Depends
if dpkg-deb --contents "$package" | grep -q '\./usr/local/'; then
  echo "deb-roundtrip.sh: the package installs under /usr/local" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get install -y -qq "./$package" >/dev/null
mapfile -t files < <(dpkg-query -L quillfen | while IFS= read -r path; do
  [ -f "$path" ] && echo "$path"; done)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'x' >"$work/a.txt"
quillfen-cli --version
[ "$(quillfen-cli find --in "$work" --name '*.txt' --quiet)" = "$work/a.txt" ]
QT_QPA_PLATFORM=offscreen quillfen --version
# The Type column loads the module under /usr/lib/quillfen/modules, which says nothing when found.
[ -z "$(quillfen-cli find --in "$work" --name '*.txt' --format tsv --quiet 2>&1 >/dev/null)" ]
man -w quillfen-cli >/dev/null

"${sudo_cmd[@]}" apt-get remove -y -qq quillfen >/dev/null
left=0
for path in "${files[@]}"; do
  if [ -e "$path" ]; then
    echo "left behind: $path" >&2
    left=1
  fi
done
for folder in /usr/share/quillfen /usr/lib/quillfen; do
  [ -d "$folder" ] && { echo "left behind: $folder" >&2; left=1; }
done
[ "$left" -eq 0 ] && echo "installed, ran and removed ${#files[@]} files without a trace"
exit "$left"
