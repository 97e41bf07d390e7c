#!/usr/bin/env bash
# Checks the packages in dist/ as a fleet installs them. Debian: lintian finds no error; dpkg
# installs them for real in a private mount namespace whose /usr, /etc and /var are throwaway
# layers over this machine's; velmora, its manual page and a host project built with
# find_package and with pkg-config work; a purge leaves none of their files. Windows, under Wine
# in a fresh prefix: the installer installs silently (the program alone, then with the developer
# feature), velmora.exe and a cross-built host project work, and uninstalling leaves no folder;
# the zip's velmora.exe runs where it is unpacked.
# Usage: tests/install/packages_test.sh   (from anywhere; as root, or through sudo)
set -euo pipefail
cd "$(dirname "$0")/../.."
source=$PWD
dist=$source/dist
install_test=(-DCONSUMER_DIR="$source/tests/install/consumer" -DGENERATOR=Ninja
              -P "$source/tests/install/install_test.cmake")

expect() { # expect WHAT COMMAND...: fails the test, naming WHAT, unless the command succeeds
  local what=$1
  shift
  "$@" || { echo "packages_test: $what" >&2; exit 1; }
}

if [ "${1:-}" = --inside ]; then
  work=$2
  for dir in usr etc var; do
    mkdir -p "$work/$dir/upper" "$work/$dir/work"
    mount -t overlay overlay -o "lowerdir=/$dir,upperdir=$work/$dir/upper,workdir=$work/$dir/work" "/$dir"
  done
  DEBIAN_FRONTEND=noninteractive dpkg -i "$dist"/velmora_*.deb "$dist"/velmora-dev_*.deb >/dev/null
  files=$(dpkg -L velmora velmora-dev)
  expect "man finds no velmora(1)" test "$(man -w velmora)" = /usr/share/man/man1/velmora.1.gz
  page=$(man velmora 2>/dev/null)
  expect "man velmora shows no commands" grep -q 'velmora xml CATEGORY' <<<"$page"
  cmake -DPROGRAM=/usr/bin/velmora -DPROFILE=/usr/share/doc/velmora/examples/workstation.json \
    -DWORK_DIR="$work/consumer" -DCXX=c++ "${install_test[@]}"
  dpkg --purge velmora-dev velmora >/dev/null
  while read -r file; do
    expect "$file is left after the purge" test ! -L "$file" -a ! -f "$file"
  done <<<"$files"
  echo "debian: installed, used and purged"
  exit 0
fi

work=$(mktemp -d)
# Wine's server lingers a moment after its last program, writing into the prefix.
trap '[ -z "${WINEPREFIX:-}" ] || wineserver -w; rm -rf "$work"' EXIT
lintian --fail-on error --suppress-tags maintscript-calls-ldconfig,package-name-doesnt-match-sonames \
  "$dist"/*.deb
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" unshare --mount --propagation private "$source/tests/install/packages_test.sh" \
  --inside "$work/root"

export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine wineboot --init >/dev/null 2>&1
folder="$WINEPREFIX/drive_c/Program Files/Velmora"
msi=$(winepath -w "$dist"/velmora-*-x64.msi)
msiexec() { # the installer's command, waiting until Wine has finished with it
  wine msiexec "$@" /qn
  wineserver -w
}
msiexec /i "$msi"
expect "the installer did not install velmora.exe and the templates" \
  test -f "$folder/velmora.exe" -a -f "$folder/hardinfo/storage.xml"
expect "the developer feature was installed unasked" test ! -e "$folder/include"
msiexec /i "$msi" ADDLOCAL=ALL
cmake -DPROGRAM="$folder/velmora.exe" -DPROFILE="$source/examples/workstation.json" \
  -DWORK_DIR="$work/win-consumer" -DCXX=x86_64-w64-mingw32-g++-posix -DEMULATOR=wine \
  -DTOOLCHAIN="$source/cmake/mingw-w64.cmake" -DVELMORA_DIR="$folder/lib/cmake/Velmora" \
  -DPC_DIR="$folder/lib/pkgconfig" "${install_test[@]}"
msiexec /x "$msi"
expect "uninstalling left $(find "$folder" 2>/dev/null | head -5)" test ! -e "$folder"
echo "windows: installed silently, used and uninstalled"

mkdir "$work/zip"
(cd "$work/zip" && unzip -q "$dist"/velmora-*-x64.zip)
pairs=$(wine "$work/zip/Velmora/velmora.exe" --profile "$source/examples/workstation.json" pairs storage)
expect "the zip's velmora.exe did not list the storage" test "$(wc -l <<<"$pairs")" -eq 18
echo "zip: velmora.exe runs where it is unpacked"
