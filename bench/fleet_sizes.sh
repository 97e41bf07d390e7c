#!/usr/bin/env bash
# The compressed sizes of the GLPI documents `velmora send` posts, as NAME=BYTES arguments for
# fleet_load: the example profile, and the fixture trees of a laptop, a server, a container and
# a disk image read as the machine itself. zlib at its default level, as the delivery does.
# Usage: bench/fleet_sizes.sh [VELMORA]   (default build/cli/velmora)
set -euo pipefail
cd "$(dirname "$0")/.."
velmora=${1:-build/cli/velmora}

compressed_size() {
  python3 -c 'import sys, zlib; print(len(zlib.compress(sys.stdin.buffer.read())))'
}
sizes=("workstation=$("$velmora" --profile examples/workstation.json export --format glpi |
  compressed_size)")
for tree in laptop server container image; do
  sizes+=("$tree=$(HARNEL_ROOT=tests/harnel/linux/data/$tree "$velmora" export --format glpi |
    compressed_size)")
done
echo "${sizes[*]}"
