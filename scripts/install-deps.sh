#!/usr/bin/env bash
# Installs the Debian packages Velmora needs. Usage: scripts/install-deps.sh run|test
#   run   what building the libraries and `velmora` and running them need
#   test  also the tests, the sanitizers, the fuzzers, the benchmarks' peers, and the
#         Windows cross-build with its emulator (MinGW-w64 and Wine, the largest part)
# Only missing packages are fetched, so a machine that has them all is not touched.
set -euo pipefail

run_packages=(
  build-essential cmake ninja-build pkg-config
  nlohmann-json3-dev libcli11-dev
  libpci-dev pci.ids libcups2-dev
  libcurl4-openssl-dev zlib1g-dev
)
test_packages=(
  "${run_packages[@]}"
  git clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev googletest libbenchmark-dev libpugixml-dev
  libxml2-utils hyperfine lshw
  mingw-w64 wine64 wine libz-mingw-w64-dev
  python3-jsonschema openssl
)

case "${1:-}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${test_packages[@]}") ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
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
