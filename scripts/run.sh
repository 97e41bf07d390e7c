#!/usr/bin/env bash
# Builds Velmora and shows what this machine consists of.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "${VELMORA_JOBS:-2}"
exec build/cli/velmora "$@"
