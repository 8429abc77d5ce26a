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
# Both sides are built before either runs; then BASE runs, then HEAD.
#
# Environment:
#   QZ_COMPARE_DIR=/tmp/qz-compare   where the sides are unpacked (base/,
#                                    head/) and built (base/build/, ...), with
#                                    their build logs (base.log, ...) and
#                                    results (results/base/<binary>.json, .txt)
#   QZ_COMPARE_FILTER=REGEX          only the benchmarks that match
#   QZ_COMPARE_TARGETS="live_windows_bench"
#                                    the benchmark binaries to build and run
#                                    (a side that has no such target runs
#                                    nothing of it)
#   QZ_COMPARE_REPETITIONS=N         runs of each benchmark; with N > 1 the
#                                    medians are compared
#   QZ_COMPARE_JOBS=N                build jobs (default: Ninja's own)
#
# Benchmarks are paired by name, their iteration count left out. For every
# benchmark present on both sides the table gives the wall and CPU time per
# iteration and every counter it reports, before, after and after/before;
# the benchmarks present on one side only are listed apart, never compared.
set -euo pipefail

usage() {
  cat >&2 <<'EOF'
usage: benchmarks/live/compare.sh BASE [HEAD]
  Builds the live windows' benchmarks of the commits BASE ("before") and HEAD
  ("after", default HEAD), each in its own folder under QZ_COMPARE_DIR
  (default /tmp/qz-compare), runs them and prints their figures side by side.
  QZ_COMPARE_FILTER=REGEX, QZ_COMPARE_TARGETS, QZ_COMPARE_REPETITIONS=N and
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
REPETITIONS=${QZ_COMPARE_REPETITIONS:-1}
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

# Runs the benchmarks of one side into results/<side>.
run_side() {
  local side=$1 commit=$2
  local dir=$OUT/$side results=$OUT/results/$side target binary repeat=()
  rm -rf "$results"
  mkdir -p "$results"
  if [[ $REPETITIONS -gt 1 ]]; then
    repeat=(--benchmark_repetitions="$REPETITIONS" --benchmark_report_aggregates_only=true)
  fi
  echo "== running $side: $(describe "$commit")"
  while read -r target; do
    [[ -n $target ]] || continue
    binary=$(find "$dir/build" -type f -name "$target" -perm -u+x -print -quit)
    [[ -n $binary ]] || {
      echo "compare.sh: $side built no binary $target" >&2
      exit 1
    }
    "$binary" --benchmark_filter="$FILTER" --benchmark_counters_tabular=true "${repeat[@]}" \
      --benchmark_out="$results/$target.json" --benchmark_out_format=json \
      >"$results/$target.txt" 2>&1 || fail "running $side's $target" "$results/$target.txt"
  done <"$dir/build/compare-targets"
}

build_side base "$BASE"
build_side head "$HEAD_COMMIT"
run_side base "$BASE"
run_side head "$HEAD_COMMIT"

python3 - "$OUT/results/base" "$OUT/results/head" "$(describe "$BASE")" "$(describe "$HEAD_COMMIT")" <<'PY'
import json, pathlib, re, sys

STANDARD = {"name", "run_name", "run_type", "family_index", "per_family_instance_index", "repetitions",
            "repetition_index", "threads", "iterations", "real_time", "cpu_time", "time_unit",
            "aggregate_name", "aggregate_unit", "error_occurred", "error_message", "label"}
NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}

def pairing_name(name):
    return re.sub(r"/(iterations|repeats):\d+", "", name)

def load(folder):
    runs = {}
    for path in sorted(pathlib.Path(folder).glob("*.json")):
        for b in json.loads(path.read_text())["benchmarks"]:
            aggregate = b.get("run_type") == "aggregate"
            if aggregate and b.get("aggregate_name") != "median":
                continue
            name = pairing_name(b.get("run_name", b["name"]))
            if aggregate or name not in runs:
                runs[name] = b
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

def text(value):
    if value is None:
        return "-"
    if isinstance(value, str):
        return value or "error"
    return f"{value:,.3f}"

before, after = load(sys.argv[1]), load(sys.argv[2])
print(f"\nbefore: {sys.argv[3]}\nafter:  {sys.argv[4]}\n")
both = [n for n in after if n in before]
rows = []
for name in both:
    unit = before[name].get("time_unit", "ns")
    fb, fa = figures(before[name], unit), figures(after[name], unit)
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
