#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless.
#   SANITIZE=1 tools/test.sh   the same tests in a separate AddressSanitizer +
#                              UndefinedBehaviorSanitizer build
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)

bash tools/install-deps.sh

JOBS=$(nproc 2>/dev/null || echo 4)
if [ "${SANITIZE:-0}" = "1" ]; then
  BUILD=${BUILD_DIR:-build-asan}
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQZ_SANITIZE=ON -DQZ_BUILD_APP=OFF
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
  export LSAN_OPTIONS="suppressions=$ROOT/tools/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
  BUILD=${BUILD_DIR:-build}
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZ_BUILD_BENCHMARKS=ON
fi
cmake --build "$BUILD" -j "$JOBS"
export QT_QPA_PLATFORM=offscreen
cd "$BUILD"
ctest --output-on-failure -j "$JOBS" --timeout 300
