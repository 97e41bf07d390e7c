#!/usr/bin/env bash
# Compares the ABI of the built libraries with the baseline kept in abi/: the exported functions
# with their types, the layouts of the records they take (the provider's records, the text type,
# PairList), the symbols' versions and the SONAME. Any difference fails and abidiff's report
# names what changed. The build needs debug information (RelWithDebInfo or Debug): the types
# are read from it.
# Usage: scripts/check-abi.sh BUILD [BASELINE]     compare (BASELINE: a folder, abi/ by default)
#        scripts/check-abi.sh --update BUILD       write the baseline anew from BUILD, for a
#                                                  change of the ABI that is meant
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

update=false
if [ "${1:-}" = "--update" ]; then
  update=true
  shift
fi
if (($# < 1 || $# > 2)); then
  echo "usage: $0 [--update] BUILD [BASELINE]" >&2
  exit 2
fi
build=$1
baseline=${2:-$root/abi}

status=0
for name in libVelmoraU libHarnel; do
  library=$(readlink -f "$build/lib/$name.so")
  if ! readelf -S "$library" | grep -q '\.debug_info'; then
    echo "$library has no debug information: build it as RelWithDebInfo or Debug" >&2
    exit 2
  fi
  if $update; then
    # Without paths, so that the baseline is the same from any checkout.
    abidw --exported-interfaces-only --no-corpus-path --no-comp-dir-path --no-show-locs --out-file "$baseline/$name.abi" \
      "$library"
    echo "wrote $baseline/$name.abi"
    continue
  fi
  # The version nodes the library defines and how many functions each exports: an addition
  # shows as a new node beside the old ones, which keep their functions.
  versions=$(objdump -T "$library" | awk '$2 == "g" && $4 == ".text" { print $6 }' | sort -V | uniq -c |
    awk '{ printf "%s%s (%s)", sep, $2, $1; sep = ", " }')
  if report=$(abidiff --exported-interfaces-only --no-show-locs "$baseline/$name.abi" "$library"); then
    echo "$name: the same ABI as $baseline/$name.abi; versions $versions"
  else
    echo "$name: the ABI differs from $baseline/$name.abi (abidiff exit $?):"
    echo "$report"
    status=1
  fi
done
exit $status
