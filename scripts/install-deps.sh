#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Velmora need.
# Only missing packages are fetched, so a machine that has them all is not touched.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev
  nlohmann-json3-dev libcli11-dev
  libpci-dev pci.ids libcups2-dev
  libxml2-utils hyperfine lshw
  mingw-w64 wine64 wine googletest
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
