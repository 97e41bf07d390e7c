#!/usr/bin/env bash
# Builds Velmora and runs every test: a plain build, the same tests under AddressSanitizer
# and UndefinedBehaviorSanitizer, the concurrency test under ThreadSanitizer, the Windows build
# under Wine, the packages made from the plain and the Windows builds and installed, and the
# source format check.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

jobs=${VELMORA_JOBS:-2}

build_and_test() {
  local dir=$1
  shift
  echo "== $dir"
  cmake -S . -B "$dir" -G Ninja -DVELMORA_WERROR=ON -DVELMORA_BUILD_TESTS=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

build_and_test build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  build_and_test build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON
# Every export called from many threads at once, under ThreadSanitizer, over a provider core of
# the test's own and through the shipped libraries: those two test programs and the libraries
# are built, nothing else.
echo "== build-tsan"
cmake -S . -B build-tsan -G Ninja -DVELMORA_WERROR=ON -DVELMORA_BUILD_TESTS=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE_THREAD=ON >/dev/null
cmake --build build-tsan -j "$jobs" --target real_provider_test shipped_libraries_test
# GCC 12's ThreadSanitizer expects the address layout of 28 bits of mmap randomisation and stops
# at start on a kernel that randomises more; without randomisation it runs anywhere.
TSAN_OPTIONS=halt_on_error=1 setarch "$(uname -m)" -R \
  ctest --test-dir build-tsan --output-on-failure --no-tests=error -R '^RealProviderConcurrencyTest\.'
# The parser's, the editor's and the pci.ids lookup's fuzz targets, built with clang and
# libFuzzer, replay their corpora and every input that once broke them.
echo "== build-fuzz"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON \
  -DVELMORA_BUILD_TESTS=OFF -DVELMORA_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j "$jobs" --target xmldoc_parse_fuzzer xmldoc_edit_fuzzer pci_ids_fuzzer
build-fuzz/fuzz/xmldoc_parse_fuzzer -runs=0 fuzz/corpus fuzz/regressions
build-fuzz/fuzz/xmldoc_edit_fuzzer -runs=0 fuzz/edit_corpus fuzz/edit_regressions
build-fuzz/fuzz/pci_ids_fuzzer -runs=0 fuzz/pci_ids_corpus fuzz/pci_ids_regressions
# The same sources cross-built for 64-bit Windows with MinGW-w64, tested under Wine; the
# Windows velmora.exe must print the same bytes as the native velmora.
echo "== build-win"
cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DVELMORA_WERROR=ON \
  -DVELMORA_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=Release -DVELMORA_NATIVE_VELMORA="$PWD/build/cli/velmora" >/dev/null
cmake --build build-win -j "$jobs"
# A fresh Wine prefix is made once, up front, without the .NET and HTML runtimes it would
# offer to fetch; the tests need neither.
WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot --init >/dev/null
WINEDEBUG=-all ctest --test-dir build-win --output-on-failure -j "$jobs"
# The Debian packages and the Windows installer made from those two builds, installed and used:
# the Debian ones with dpkg in a throwaway root over this machine, the installer under Wine.
scripts/package.sh
tests/install/packages_test.sh
scripts/check-format.sh
