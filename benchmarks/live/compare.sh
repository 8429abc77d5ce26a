#!/usr/bin/env bash
# The live windows' benchmarks on this tree and on earlier code, side by side.
#   benchmarks/live/compare.sh [BASE]   BASE: a commit (default: where this
#                                       branch left main)
#   QZ_COMPARE_DIR=/tmp/qz-compare      where the earlier code is unpacked and
#                                       built, and the results are kept
#   QZ_COMPARE_FILTER=REGEX             only the benchmarks that match
# The earlier code gets this tree's benchmarks/ folder; the benchmark sources
# build against either graph. Figures are CPU and wall time per tick, memory
# and paint counters as each benchmark reports them.
set -euo pipefail
cd "$(dirname "$0")/../.."
BASE=${1:-$(git merge-base HEAD main)}
OUT=${QZ_COMPARE_DIR:-/tmp/qz-compare}
FILTER=${QZ_COMPARE_FILTER:-.}
mkdir -p "$OUT"

rm -rf "$OUT/src"
mkdir -p "$OUT/src"
git archive "$BASE" | tar -x -C "$OUT/src"
rm -rf "$OUT/src/benchmarks"
cp -r benchmarks "$OUT/src/benchmarks"
cmake -S "$OUT/src" -B "$OUT/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZ_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$OUT/build" -j4 --target live_windows_bench
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZ_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build -j4 --target live_windows_bench

run() {
  "$1/benchmarks/live_windows_bench" --benchmark_filter="$FILTER" --benchmark_counters_tabular=true \
    --benchmark_out="$2" --benchmark_out_format=json
}
echo "== before ($BASE)"
run "$OUT/build" "$OUT/before.json"
echo "== after ($(git rev-parse --short HEAD))"
run build "$OUT/after.json"

python3 - "$OUT/before.json" "$OUT/after.json" <<'PY'
import json, sys
def load(p):
    return {b["name"]: b for b in json.load(open(p))["benchmarks"]}
before, after = load(sys.argv[1]), load(sys.argv[2])
keys = ["real_time", "cpu_time", "MiB", "peak_MiB", "peak_growth_MiB", "painted_kpx", "paint_ms", "chart_paints", "stored", "rows"]
def short(name):
    return name.split("/iterations")[0]
names = sorted({short(n) for n in before} | {short(n) for n in after}, key=lambda n: (n.split("/")[0], n))
def find(d, n):
    return next((v for k, v in d.items() if short(k) == n), None)
print(f"{'benchmark':<26}{'figure':<18}{'before':>14}{'after':>14}")
for n in names:
    b, a = find(before, n), find(after, n)
    for k in keys:
        vb = b.get(k) if b else None
        va = a.get(k) if a else None
        if vb is None and va is None:
            continue
        unit = (b or a).get("time_unit", "") if k.endswith("_time") else ""
        fmt = lambda v: "-" if v is None else f"{v:,.3f}"
        print(f"{n:<26}{k + (' ' + unit if unit else ''):<18}{fmt(vb):>14}{fmt(va):>14}")
PY
