#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless.
#   SANITIZE=1 tools/test.sh   the same tests in a separate AddressSanitizer +
#                              UndefinedBehaviorSanitizer build
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

JOBS=$(nproc 2>/dev/null || echo 4)
if [ "${SANITIZE:-0}" = "1" ]; then
  BUILD=${BUILD_DIR:-build-asan}
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQZ_SANITIZE=ON -DQZ_BUILD_APP=OFF
  . tools/sanitizer-env.sh
else
  BUILD=${BUILD_DIR:-build}
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZ_BUILD_BENCHMARKS=ON
fi
cmake --build "$BUILD" -j "$JOBS"
export QT_QPA_PLATFORM=offscreen
cd "$BUILD"
ctest --output-on-failure -j "$JOBS" --timeout 300
