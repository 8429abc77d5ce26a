#!/usr/bin/env bash
# Builds the libFuzzer targets in a clang build of their own (under the
# sanitizers), runs each for a bounded time from its seed corpus and the
# inputs earlier runs kept, and prints what each reached.
#   FUZZ_SECONDS=300 tools/fuzz.sh   each target for 300 s (default 60)
#   BUILD_DIR=...                    the build folder (default build-fuzz)
# Exit status 1 when a target found an input that fails; the input is in
# <build>/fuzz/crashes/, the report in <build>/fuzz/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

BUILD=${BUILD_DIR:-build-fuzz}
RUN_SECONDS=${FUZZ_SECONDS:-60}
JOBS=$(nproc 2>/dev/null || echo 4)

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQZ_FUZZ=ON -DQZ_BUILD_APP=OFF
# Every target has its run script, written when the build is configured.
targets=()
for script in "$BUILD"/fuzz/*.sh; do
  targets+=("$(basename "$script" .sh)")
done
[ ${#targets[@]} -gt 0 ] || { echo "fuzz: no fuzz targets configured" >&2; exit 1; }
cmake --build "$BUILD" -j "$JOBS" --target "${targets[@]/#/fuzz_}"

. tools/sanitizer-env.sh

# One field of libFuzzer's last status line: "#<runs> DONE cov: .. ft: .. corp: <n>/<size> ...".
field() { sed -n "s|.*[[:space:]]$1:[[:space:]]*\([^[:space:]]*\).*|\1|p" <<<"$2"; }

failed=0
summary=()
for t in "${targets[@]}"; do
  log="$BUILD/fuzz/$t.log"
  echo "fuzz: $t for ${RUN_SECONDS} s"
  status=ok
  if ! sh "$BUILD/fuzz/$t.sh" -max_total_time="$RUN_SECONDS" -print_final_stats=1 >"$log" 2>&1; then
    status=FAILED
    failed=1
    tail -n 40 "$log"
  fi
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true)
  runs=$(sed -n 's/^stat::number_of_executed_units:[[:space:]]*//p' "$log" | tail -n 1)
  summary+=("$(printf '%-12s %-7s %12s %9s %9s %13s %9s' "$t" "$status" "${runs:--}" \
    "$(field cov "$done_line")" "$(field ft "$done_line")" "$(field corp "$done_line")" \
    "$(field exec/s "$done_line")")")
done

echo
echo "fuzz: ${RUN_SECONDS} s per target"
printf '%-12s %-7s %12s %9s %9s %13s %9s\n' target result executions coverage features corpus exec/s
printf '%s\n' "${summary[@]}"
exit $failed
