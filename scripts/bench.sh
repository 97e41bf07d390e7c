#!/usr/bin/env bash
# Builds the benchmarks (Release, in build-bench) and runs them as bench/README.md quotes
# them: pinned to one core, CPU time, medians of five repetitions, then each of our medians
# over pugixml's for the same case. The repetitions of all cases are run in a random order,
# not one case's five in a row: on a shared virtual machine the speed of the core drifts by a
# third or more within a minute, and in a row a slow stretch lands on one side only.
# Usage: scripts/bench.sh [CORE] [google-benchmark flags...]
# Timing lives here and in bench/, never in the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

core="${1:-1}"
shift || true
build=build-bench

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON \
  -DVELMORA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target xmldoc_fill_bench xmldoc_parse_bench >/dev/null

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores; $(uname -r)"
for bench in xmldoc_fill_bench xmldoc_parse_bench; do
  out="$build/$bench.json"
  rm -f "$out"
  taskset -c "$core" "$build/bench/$bench" --benchmark_repetitions=5 \
    --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_out="$out" \
    --benchmark_out_format=json "$@" >/dev/null
  [ -s "$out" ] || continue  # a filter that matched none of this program's benchmarks
  # BM_Velmora_X against BM_Pugixml_X (and BM_VelmoraReused_X against BM_PugixmlReused_X and
  # so on): the median CPU times and their ratio.
  python3 - "$out" <<'PY'
import json, re, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
medians = {r["run_name"]: r["cpu_time"] for r in runs if r.get("aggregate_name") == "median"}
unit = {r["run_name"]: r["time_unit"] for r in runs if r.get("aggregate_name") == "median"}
for name, ours in medians.items():
    m = re.match(r"BM_Velmora(\w*)_(.+)", name)
    if not m:
        continue
    for peer in ("Pugixml", "PugixmlMinimal"):
        theirs = medians.get(f"BM_{peer}{m.group(1)}_{m.group(2)}")
        if theirs:
            print(f"{name:40} {ours:12.1f} {unit[name]:2}  {peer:15} {theirs:12.1f}  {ours / theirs:5.2f}x")
PY
done
