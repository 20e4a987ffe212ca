#!/usr/bin/env bash
# Installs every Debian package that building, testing, packaging (lintian checks the package)
# and running Quillfen needs.
# Idempotent: when everything is present it prints nothing and changes nothing.
#   --bench    adds the peer tools that the benchmark scripts compare against
#   --windows  adds the MinGW-w64 cross compiler, Wine and an X server (Xvfb), which run the
#              Windows tests, and NSIS, which makes the setup program
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang clang-format libclang-rt-dev
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-qpa-plugins
  libicu-dev libcurl4-openssl-dev libssl-dev zlib1g-dev libglib2.0-dev libxxhash-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  xdg-utils shared-mime-info adwaita-icon-theme fonts-wqy-microhei
  zip unzip python3 openssl
  desktop-file-utils appstream dpkg-dev file zsh fish lintian
)
windows_packages=(g++-mingw-w64-x86-64 mingw-w64-tools libz-mingw-w64-dev wine64 wine xvfb nsis)
for option in "$@"; do
  case "$option" in
    --bench) packages+=(hyperfine fd-find ripgrep fdupes jdupes findutils grep plocate) ;;
    --windows) packages+=("${windows_packages[@]}") ;;
    *) echo "install-deps.sh: unknown option $option" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Another package manager at work (an unattended upgrade, a second install) holds dpkg's lock for a
# while; apt waits for it up to ten minutes instead of failing at once.
lock_wait=(-o DPkg::Lock::Timeout=600)
# The package lists have a lock of their own, for which apt-get update does not wait: it is asked
# again while another apt holds that lock, for as long.
update_lists() {
  local output
  for _ in $(seq 120); do
    if output=$("${sudo_cmd[@]}" apt-get "${lock_wait[@]}" update -qq 2>&1); then
      return 0
    fi
    grep -q 'Could not get lock' <<<"$output" || break
    sleep 5
  done
  echo "$output" >&2
  return 1
}
update_lists
"${sudo_cmd[@]}" apt-get "${lock_wait[@]}" install -y -qq --no-install-recommends "${missing[@]}" \
  >/dev/null
