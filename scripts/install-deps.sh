#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Quillfen needs.
# Idempotent: when everything is present it prints nothing and changes nothing.
#   --bench    adds the peer tools that the benchmark scripts compare against
#   --windows  adds the MinGW-w64 cross compiler, Wine and an X server (Xvfb), which run the
#              Windows tests, and NSIS, which makes the setup program
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang clang-format
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-qpa-plugins
  libicu-dev libcurl4-openssl-dev libssl-dev zlib1g-dev libglib2.0-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  xdg-utils shared-mime-info adwaita-icon-theme fonts-wqy-microhei
  zip unzip python3 openssl
  desktop-file-utils appstream dpkg-dev file zsh fish
)
windows_packages=(g++-mingw-w64-x86-64 mingw-w64-tools libz-mingw-w64-dev wine64 wine xvfb nsis)
for option in "$@"; do
  case "$option" in
    --bench) packages+=(hyperfine fd-find ripgrep fdupes jdupes findutils grep) ;;
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
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
