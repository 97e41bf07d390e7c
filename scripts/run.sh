#!/usr/bin/env bash
# Builds Velmora and shows what this machine consists of. Only the libraries and `velmora`
# are built, and only what they need is installed: the tests are the test command's.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BUILD_TESTS=OFF >/dev/null
cmake --build build -j "${VELMORA_JOBS:-2}"
exec build/cli/velmora "$@"
