#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the fuzz targets (clang
# and its runtime libraries, libFuzzer among them) and the headless run need.
# Does nothing when they are all present. Works as root or with sudo.
#   tools/install-deps.sh --list   prints the packages, one per line
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-serialport-dev libgl-dev
  # the real-time graph's chart
  libqcustomplot-dev libqcustomplot2.1-qt6
  # Qt Charts: only the chart benchmark, which measures it beside QCustomPlot
  qt6-charts-dev
  nettle-dev libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  xvfb xauth xdg-utils
)

if [ "${1:-}" = "--list" ]; then
  printf '%s\n' "${PACKAGES[@]}"
  exit 0
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
