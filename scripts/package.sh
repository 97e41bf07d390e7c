#!/usr/bin/env bash
# Builds what a fleet deploys, into dist/:
#   velmora_VERSION_ARCH.deb, velmora-dev_VERSION_ARCH.deb   the Debian packages (CPack)
#   velmora-VERSION-x64.msi                                 the Windows installer (wixl)
#   velmora-VERSION-x64.zip                                 the installer's folder, every feature
# Usage: scripts/package.sh [--build DIR] [--build-win DIR]
# The native build (default build/) and the MinGW-w64 cross build (default build-win/) are the
# ones the test command makes: an existing one is reused with its tests, a new one is made
# without them. Either way they are built with the shipped options (no sanitizer) first.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
build_win=build-win
while (($#)); do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --build-win) build_win=$2; shift 2 ;;
    *) echo "usage: $0 [--build DIR] [--build-win DIR]" >&2; exit 2 ;;
  esac
done
scripts/install-deps.sh package
jobs=${VELMORA_JOBS:-2}

# configure DIR OPTION...: the test command's options, less the tests when DIR is new.
configure() {
  local dir=$1
  shift
  local tests=()
  [ -f "$dir/CMakeCache.txt" ] || tests=(-DVELMORA_BUILD_TESTS=OFF)
  cmake -S . -B "$dir" -G Ninja -DVELMORA_WERROR=ON -DVELMORA_SANITIZE=OFF \
    -DVELMORA_SANITIZE_THREAD=OFF -DVELMORA_FUZZ=OFF "${tests[@]}" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs" --target velmora
}

echo "== packages: $build"
configure "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
rm -rf dist "$build/cpack"
mkdir -p dist
(cd "$build" && cpack -G DEB -B cpack >/dev/null)
mv "$build"/cpack/*.deb dist/

echo "== packages: $build_win"
configure "$build_win" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
stage=$build_win/package
rm -rf "$stage"
# One staged folder per feature, and both together for the zip.
for component in runtime dev; do
  cmake --install "$build_win" --component "win-$component" --prefix "$stage/$component" >/dev/null
  cmake --install "$build_win" --component "win-$component" --prefix "$stage/zip/Velmora" >/dev/null
done
# fragment FOLDER GROUP: a component per file, in folders under INSTALLDIR. wixl-heat puts the
# files at the top into a folder "." of their own; they go into INSTALLDIR itself, since
# uninstalling removes the empty folders under the folders of components, and include\ holds
# only folders.
fragment() {
  find "$1" -type f | sort |
    wixl-heat --prefix "$1/" --directory-ref INSTALLDIR --component-group "$2" --var "var.$2Dir" \
      --win64 | sed '/<Directory [^>]*Name="\.">/,/<\/Directory>/{/<Directory /d;/<\/Directory>/d}' \
    >"$stage/$2.wxs"
}
fragment "$stage/runtime" RuntimeFiles
fragment "$stage/dev" DeveloperFiles
wixl --arch x64 -D Win64=yes -D Version="$version" -D RuntimeFilesDir="$stage/runtime" \
  -D DeveloperFilesDir="$stage/dev" -o "dist/velmora-$version-x64.msi" \
  packaging/windows/velmora.wxs "$stage/RuntimeFiles.wxs" "$stage/DeveloperFiles.wxs"
dist=$PWD/dist
(cd "$stage/zip" && zip -qr -X "$dist/velmora-$version-x64.zip" Velmora)

ls -l dist
