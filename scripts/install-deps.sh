#!/usr/bin/env bash
# Installs the Debian packages Velmora needs. Usage: scripts/install-deps.sh run|package|test
#   run      what building the libraries and `velmora` and running them need
#   package  also the Windows cross-build (MinGW-w64) and what makes the Debian packages
#            (dpkg-shlibdeps, and file, with which CPack finds the binaries), the Windows
#            installer (wixl) and the zip: scripts/package.sh
#   test     also the tests, the sanitizers, the fuzzers, the benchmarks' peers, Wine, and the
#            checks of the packages (lintian, man-db, unzip, systemd's systemd-analyze) and of
#            the ABI (abigail-tools)
# Only missing packages are fetched, so a machine that has them all is not touched.
set -euo pipefail

run_packages=(
  build-essential cmake ninja-build
  nlohmann-json3-dev libcli11-dev
  pci.ids libcups2-dev
  libcurl4-openssl-dev zlib1g-dev
)
package_packages=(
  "${run_packages[@]}"
  mingw-w64 libz-mingw-w64-dev dpkg-dev file wixl zip
)
test_packages=(
  "${package_packages[@]}"
  git pkg-config clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev googletest libbenchmark-dev libpugixml-dev
  libxml2-utils hyperfine lshw
  wine64 wine
  lintian abigail-tools man-db unzip systemd
  python3-jsonschema openssl time
)

case "${1:-}" in
  run) packages=("${run_packages[@]}") ;;
  package) packages=("${package_packages[@]}") ;;
  test) packages=("${test_packages[@]}") ;;
  *) echo "usage: $0 run|package|test" >&2; exit 2 ;;
esac

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
