#!/usr/bin/env bash
# Times whole runs of `velmora` (every pair export) and `velmora xml N` (each template
# category) against `lshw -short` on this machine with hyperfine, and checks that each
# velmora run is at least 20 times faster. Usage: bench/compare_lshw.sh [velmora binary]
# Environment: RUNS (default 40), OUT (CSV file, default build/compare_lshw.csv).
set -euo pipefail
cd "$(dirname "$0")/.."

velmora=${1:-build/cli/velmora}
runs=${RUNS:-40}
out=${OUT:-build/compare_lshw.csv}
required=20

for tool in hyperfine lshw; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/install-deps.sh test" >&2; exit 2; }
done
[ -x "$velmora" ] || { echo "no velmora at $velmora: build first" >&2; exit 2; }
mkdir -p "$(dirname "$out")"

commands=("lshw -short" "$velmora")
# 0 list, 5001 os ... 5006 control, anything else the other-devices template. A host
# without the xml command (exit status 2, a usage error) is timed without it.
status=0
"$velmora" xml 5001 >/dev/null 2>&1 || status=$?
if [ "$status" -eq 2 ]; then
  echo "note: $velmora has no xml command; timing the whole inventory only" >&2
else
  for category in 0 5001 5002 5003 5004 5005 5006 5007; do
    commands+=("$velmora xml $category")
  done
fi

# -N: no shell in between, so the figures are the processes themselves.
hyperfine -N --style basic --warmup 3 --runs "$runs" --export-csv "$out" "${commands[@]}" >&2

# CSV columns: command,mean,stddev,median,user,system,min,max (seconds).
awk -F, -v required="$required" '
  NR == 1 { next }
  NR == 2 { base = $2; printf "%-34s %9.2f ms\n", $1, $2 * 1000; next }
  {
    ratio = base / $2
    verdict = ratio >= required ? "ok" : "TOO SLOW"
    if (ratio < required) failed = 1
    printf "%-34s %9.2f ms  %6.1fx faster than lshw -short  %s\n", $1, $2 * 1000, ratio, verdict
  }
  END { exit failed }
' "$out"
