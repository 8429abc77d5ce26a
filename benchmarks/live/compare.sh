#!/usr/bin/env bash
# The live windows' benchmarks of two commits, side by side.
#
#   benchmarks/live/compare.sh BASE [HEAD]
#     BASE   the commit measured "before" (required)
#     HEAD   the commit measured "after" (default: HEAD)
#
# Both sides are commits: changes not yet committed are not measured. Each
# side is exported with `git archive` into a folder of its own under
# QZ_COMPARE_DIR, then configured and built there with its own benchmarks/
# folder (nothing is copied from one tree into the other), so any commit that
# has a benchmark builds it as it was then. The caller's build/ is left alone.
# Both sides are built before either runs; then they run in turns, each
# binary a fresh process: BASE then HEAD in the first round, HEAD then BASE
# in the second, and so on, so that a slow drift of the machine's load falls
# on both sides alike.
#
# Environment:
#   QZ_COMPARE_DIR=/tmp/qz-compare   where the sides are unpacked (base/,
#                                    head/) and built (base/build/, ...), with
#                                    their build logs (base.log, ...) and
#                                    results (results/base/<binary>.<round>.json,
#                                    .txt)
#   QZ_COMPARE_FILTER=REGEX          only the benchmarks that match
#   QZ_COMPARE_TARGETS="live_windows_bench"
#                                    the benchmark binaries to build and run
#                                    (a side that has no such target runs
#                                    nothing of it)
#   QZ_COMPARE_ROUNDS=N              rounds of runs (default 1); with N > 1
#                                    each figure is the median of its N runs
#   QZ_COMPARE_JOBS=N                build jobs (default: Ninja's own)
#
# Benchmarks are paired by name, their iteration count left out. For every
# benchmark present on both sides the table gives the wall and CPU time per
# iteration and every counter it reports, before, after and after/before;
# the benchmarks present on one side only are listed apart, never compared.
# On a machine that is busy with other work the figures of one commit vary
# by tens of per cent between runs: use rounds, and compare a commit with
# itself to see the noise.
set -euo pipefail

usage() {
  cat >&2 <<'EOF'
usage: benchmarks/live/compare.sh BASE [HEAD]
  Builds the live windows' benchmarks of the commits BASE ("before") and HEAD
  ("after", default HEAD), each in its own folder under QZ_COMPARE_DIR
  (default /tmp/qz-compare), runs them and prints their figures side by side.
  QZ_COMPARE_FILTER=REGEX, QZ_COMPARE_TARGETS, QZ_COMPARE_ROUNDS=N and
  QZ_COMPARE_JOBS=N: see the head of this script.
EOF
  exit 2
}
[[ $# -ge 1 && $# -le 2 && $1 != -h && $1 != --help ]] || usage

cd "$(dirname "$0")/../.."
commit_of() {
  git rev-parse --verify --quiet "$1^{commit}" || {
    echo "compare.sh: '$1' is not a commit" >&2
    exit 2
  }
}
BASE=$(commit_of "$1")
HEAD_COMMIT=$(commit_of "${2:-HEAD}")
OUT=${QZ_COMPARE_DIR:-/tmp/qz-compare}
FILTER=${QZ_COMPARE_FILTER:-.}
read -r -a TARGETS <<<"${QZ_COMPARE_TARGETS:-live_windows_bench}"
ROUNDS=${QZ_COMPARE_ROUNDS:-1}
[[ $ROUNDS =~ ^[1-9][0-9]*$ ]] || usage
JOBS=${QZ_COMPARE_JOBS:-}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)

# Each side is built inside its tree, as a developer's build is: with OUT as
# ccache's base folder the paths it hashes are relative, so the second side
# (and a caller whose ccache folder is shared) reuses what is alike.
if command -v ccache >/dev/null; then
  LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=$OUT CCACHE_NOHASHDIR=true
else
  LAUNCHER=()
fi

describe() { git log -1 --format='%h %<(60,trunc)%s' "$1" | sed 's/ *$//'; }

fail() { # what, log
  echo "compare.sh: $1 failed; the end of $2:" >&2
  tail -n 30 "$2" >&2
  exit 1
}

# Unpacks, configures and builds one side: side, commit. The folder of a side
# is reused while it holds the same commit (an incremental build).
build_side() {
  local side=$1 commit=$2
  local dir=$OUT/$side stamp=$OUT/$side.commit log=$OUT/$side.log
  if [[ -e $dir && ! -f $stamp ]]; then
    echo "compare.sh: $dir exists and was not made by this script; choose another QZ_COMPARE_DIR" >&2
    exit 1
  fi
  if [[ ! -f $stamp || $(<"$stamp") != "$commit" ]]; then
    echo unpacking >"$stamp"
    rm -rf "$dir"
    mkdir -p "$dir"
    git archive "$commit" | tar -x -C "$dir"
    echo "$commit" >"$stamp"
  fi
  echo "== building $side: $(describe "$commit") in $dir/build"
  cmake -S "$dir" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZ_BUILD_BENCHMARKS=ON \
    "${LAUNCHER[@]}" >"$log" 2>&1 || fail "configuring $side" "$log"
  local known present=() target
  known=$(ninja -C "$dir/build" -t targets all | cut -d: -f1)
  for target in "${TARGETS[@]}"; do
    if grep -qx "$target" <<<"$known"; then
      present+=("$target")
    else
      echo "   $side has no target $target: its benchmarks are not measured on this side"
    fi
  done
  printf '%s\n' "${present[@]}" >"$dir/build/compare-targets"
  [[ ${#present[@]} -gt 0 ]] || return 0
  cmake --build "$dir/build" ${JOBS:+-j "$JOBS"} --target "${present[@]}" >>"$log" 2>&1 ||
    fail "building $side" "$log"
}

# Runs the benchmarks of one side once into results/<side>: side, commit,
# round.
run_side() {
  local side=$1 commit=$2 round=$3
  local dir=$OUT/$side results=$OUT/results/$side target binary
  mkdir -p "$results"
  echo "== round $round: running $side: $(describe "$commit")"
  while read -r target; do
    [[ -n $target ]] || continue
    binary=$(find "$dir/build" -type f -name "$target" -perm -u+x -print -quit)
    [[ -n $binary ]] || {
      echo "compare.sh: $side built no binary $target" >&2
      exit 1
    }
    "$binary" --benchmark_filter="$FILTER" --benchmark_counters_tabular=true \
      --benchmark_out="$results/$target.$round.json" --benchmark_out_format=json \
      >"$results/$target.$round.txt" 2>&1 || fail "running $side's $target" "$results/$target.$round.txt"
  done <"$dir/build/compare-targets"
}

build_side base "$BASE"
build_side head "$HEAD_COMMIT"
rm -rf "$OUT/results"
for ((round = 1; round <= ROUNDS; round++)); do
  if ((round % 2)); then
    run_side base "$BASE" "$round"
    run_side head "$HEAD_COMMIT" "$round"
  else
    run_side head "$HEAD_COMMIT" "$round"
    run_side base "$BASE" "$round"
  fi
done

python3 - "$OUT/results/base" "$OUT/results/head" "$(describe "$BASE")" "$(describe "$HEAD_COMMIT")" "$ROUNDS" <<'PY'
import json, pathlib, re, statistics, sys

STANDARD = {"name", "run_name", "run_type", "family_index", "per_family_instance_index", "repetitions",
            "repetition_index", "threads", "iterations", "real_time", "cpu_time", "time_unit",
            "aggregate_name", "aggregate_unit", "error_occurred", "error_message", "label"}
NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}

def pairing_name(name):
    return re.sub(r"/(iterations|repeats):\d+", "", name)

def load(folder):
    """Every run of each benchmark of one side, by name: one a round."""
    runs = {}
    for path in sorted(pathlib.Path(folder).glob("*.json")):
        for b in json.loads(path.read_text())["benchmarks"]:
            if b.get("run_type") == "aggregate":
                continue
            runs.setdefault(pairing_name(b.get("run_name", b["name"])), []).append(b)
    return runs

def figures(run, unit):
    """The figures of one run: times in `unit`, then its counters."""
    if run.get("error_occurred"):
        return {"error": run.get("error_message", "")}
    scale = NS[run.get("time_unit", "ns")] / NS[unit]
    out = {f"real_time {unit}": run["real_time"] * scale, f"cpu_time {unit}": run["cpu_time"] * scale}
    for key, value in run.items():
        if key not in STANDARD and isinstance(value, (int, float)) and not isinstance(value, bool):
            out[key] = float(value)
    return out

def median_figures(runs, unit):
    """Each figure's median over the runs; an error if any run failed."""
    each = [figures(run, unit) for run in runs]
    failed = [f for f in each if "error" in f]
    if failed:
        return failed[0]
    keys = list(dict.fromkeys(key for f in each for key in f))
    return {key: statistics.median(f[key] for f in each if key in f) for key in keys}

def text(value):
    if value is None:
        return "-"
    if isinstance(value, str):
        return value or "error"
    return f"{value:,.3f}"

before, after = load(sys.argv[1]), load(sys.argv[2])
rounds = int(sys.argv[5])
print(f"\nbefore: {sys.argv[3]}\nafter:  {sys.argv[4]}")
print(f"{'one run' if rounds == 1 else f'medians of {rounds} rounds'} a side\n")
both = [n for n in after if n in before]
rows = []
for name in both:
    unit = before[name][0].get("time_unit", "ns")
    fb, fa = median_figures(before[name], unit), median_figures(after[name], unit)
    for key in list(fb) + [k for k in fa if k not in fb]:
        vb, va = fb.get(key), fa.get(key)
        ratio = f"{va / vb:.2f}" if isinstance(vb, float) and isinstance(va, float) and vb != 0 else "-"
        rows.append((name, key, text(vb), text(va), ratio))
if rows:
    width = max(len("benchmark"), *(len(r[0]) for r in rows)) + 2
    print(f"{'benchmark':<{width}}{'figure':<18}{'before':>14}{'after':>14}{'after/before':>14}")
    last = None
    for name, key, vb, va, ratio in rows:
        print(f"{name if name != last else '':<{width}}{key:<18}{vb:>14}{va:>14}{ratio:>14}")
        last = name
else:
    print("No benchmark ran on both sides.")
for label, mine, other in (("before", before, after), ("after", after, before)):
    alone = [n for n in mine if n not in other]
    if alone:
        print(f"\nOnly {label} (not compared):")
        for n in alone:
            print(f"  {n}")
PY
