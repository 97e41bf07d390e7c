#!/usr/bin/env bash
# Checks the packages in dist/ as a fleet installs them. Debian: lintian finds no error and no
# warning; dpkg installs them for real in a private mount namespace whose /usr, /etc and /var
# are throwaway layers over this machine's; velmora, its manual page and a host project built
# with find_package and with pkg-config work; the agent's timer is enabled, its units pass
# systemd-analyze verify, and agent.conf keeps a local edit across a reinstall; a purge leaves
# none of their files, no state and no enablement. Windows, under Wine in a fresh prefix: the
# installer installs silently (the program alone, then with the developer feature and the
# agent's server and tag), velmora.exe and a cross-built host project work, agent.conf holds
# the server and the tag, and uninstalling leaves no folder; the zip's velmora.exe runs where
# it is unpacked.
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
  units=/lib/systemd/system/velmora-agent
  wants=/etc/systemd/system/timers.target.wants/velmora-agent.timer
  expect "the timer is not enabled" test "$(readlink "$wants")" = "$units.timer"
  expect "the agent's units do not verify" systemd-analyze verify "$units.service" "$units.timer"
  expect "agent.conf is not a conffile" grep -qx /etc/velmora/agent.conf \
    /var/lib/dpkg/info/velmora.conffiles
  expect "agent.conf names a server" test -z "$(grep '^server' /etc/velmora/agent.conf)"
  echo 'server = http://127.0.0.1:1/' >>/etc/velmora/agent.conf
  DEBIAN_FRONTEND=noninteractive dpkg -i --force-confold "$dist"/velmora_*.deb >/dev/null
  expect "a reinstall lost agent.conf's local edit" grep -qx 'server = http://127.0.0.1:1/' \
    /etc/velmora/agent.conf
  expect "man finds no velmora(1)" test "$(man -w velmora)" = /usr/share/man/man1/velmora.1.gz
  page=$(man velmora 2>/dev/null)
  expect "man velmora shows no commands" grep -q 'velmora xml CATEGORY' <<<"$page"
  cmake -DPROGRAM=/usr/bin/velmora -DPROFILE=/usr/share/doc/velmora/examples/workstation.json \
    -DWORK_DIR="$work/consumer" -DCXX=c++ "${install_test[@]}"
  mkdir -p /var/lib/velmora
  echo 9c1e5a2b-4f7d-41ed-8a3c-04421a0c3b7e >/var/lib/velmora/agent-id
  dpkg --purge velmora-dev velmora >/dev/null
  while read -r file; do
    # Folders stay when other packages have files in them; /lib is the link to usr/lib.
    [ -d "$file" ] || expect "$file is left after the purge" test ! -L "$file" -a ! -f "$file"
  done <<<"$files"
  for left in /var/lib/velmora /etc/velmora "$wants"; do
    expect "$left is left after the purge" test ! -e "$left" -a ! -L "$left"
  done
  echo "debian: installed, used and purged"
  exit 0
fi

work=$(mktemp -d)
# Wine's server lingers a moment after its last program, writing into the prefix.
trap '[ -z "${WINEPREFIX:-}" ] || wineserver -w; rm -rf "$work"' EXIT
lintian --fail-on error,warning --suppress-tags package-name-doesnt-match-sonames "$dist"/*.deb
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
config="$WINEPREFIX/drive_c/ProgramData/Velmora/agent.conf"
expect "the installer wrote no agent.conf, or one naming a server, without SERVER=" \
  grep -q '^# No server yet' "$config"
msiexec /i "$msi" ADDLOCAL=ALL SERVER=http://127.0.0.1:1/ TAG=lab
expect "the installer did not write the server and the tag into agent.conf" \
  test "$(tr -d '\r' <"$config")" = $'server = http://127.0.0.1:1/\ntag = lab'
# Wine's task scheduler cannot start while an installer runs, so the agent's task is not
# registered here: the installer goes on without it.
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
