#!/usr/bin/env bash
# Compares the verdict of `velmora check` with `xmllint --noout` for every *.xml under a folder
# (default /usr/share) and lists the files where they disagree.
# Usage: scripts/compare-xmllint.sh [VELMORA] [FOLDER]
set -euo pipefail
velmora=${1:-build/cli/velmora}
folder=${2:-/usr/share}

total=0 ours=0 theirs=0
disagree=()
while IFS= read -r -d '' file; do
  total=$((total + 1))
  v=0 x=0
  env -u LC_ALL -u LC_CTYPE -u LANG "$velmora" check "$file" >/dev/null 2>&1 && v=1
  xmllint --noout "$file" >/dev/null 2>&1 && x=1
  ours=$((ours + v))
  theirs=$((theirs + x))
  [ "$v" = "$x" ] || disagree+=("velmora=$v xmllint=$x $file")
done < <(find "$folder" -name '*.xml' -type f -print0 2>/dev/null | sort -z)

echo "files: $total, well-formed for velmora: $ours, for xmllint: $theirs"
for line in "${disagree[@]}"; do echo "disagree: $line"; done
