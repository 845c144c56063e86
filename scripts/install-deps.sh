#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the monitor need.
# Only what is missing is installed, so a second run costs a few dpkg queries.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/say-why.sh"

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 fonts-dejavu-core
  xvfb xauth
  python3 python3-pytest python3-setuptools python3-wheel python3-pip python3-venv procps
  libcli11-dev
  g++-mingw-w64-x86-64-posix googletest wine64 qt6-translations-l10n
  clang libclang-rt-14-dev clang-format clang-tidy
  debhelper dh-python fakeroot lintian nsis
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} > 0)); then
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
