#!/usr/bin/env bash
# Installs the Debian packages Velmora needs. Usage: scripts/install-deps.sh run|package|test
#   run      what building the libraries and `velmora` and running them need
#   package  also the Windows cross-build (MinGW-w64) and what makes the Debian packages
#            (dpkg-shlibdeps, and file, with which CPack finds the binaries), the Windows
#            installer (wixl) and the zip: scripts/package.sh
#   test     also the tests, the sanitizers, the fuzzers, the benchmarks' peers, Wine, and the
#            checks of the packages (lintian, man-db, unzip, systemd's systemd-analyze) and of
#            the ABI (abigail-tools), and a private OCS Inventory server (MariaDB, Apache with
#            mod_perl, the server's modules and schema; XML::Parser, which the server's XML::Simple
#            needs but only recommends) with its agent, whose field names the tests compare with
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
  mariadb-server apache2 libapache2-mod-perl2 ocsinventory-server ocsinventory-reports
  libxml-parser-perl ocsinventory-agent
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
  # The tests start their own database and web server; the machine's are not to start on install.
  policy=/usr/sbin/policy-rc.d
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | "${sudo_cmd[@]}" tee "$policy" >/dev/null
    "${sudo_cmd[@]}" chmod 755 "$policy"
    trap '"${sudo_cmd[@]}" rm -f "$policy"' EXIT
  fi
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
