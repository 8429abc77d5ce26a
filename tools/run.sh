#!/usr/bin/env bash
# Installs what is missing, builds, lays out the program folder, seeds the
# settings the way an installer would and starts the program against the
# simulated ECU. Without a display the program runs on a virtual display for a
# few seconds and a screenshot is saved.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
JOBS=$(nproc 2>/dev/null || echo 4)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$JOBS" --target quorin-zelkon-app

APP=$(pwd)/build/app
# The installer's settings: the program does not start without them.
CONF_DIR=${XDG_CONFIG_HOME:-$HOME/.config}/Quorin
CONF=$CONF_DIR/7304K.conf
if [ ! -f "$CONF" ]; then
  mkdir -p "$CONF_DIR"
  printf '[General]\nMainPath="\\"\\""\nLanguageName="\\"\\""\nComPort=0\nLanguage=0\n' > "$CONF"
  echo "Settings created: $CONF"
fi

cd "$APP"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./quorin-zelkon "$@"
fi

# Headless: a virtual display, a few seconds of the program, a screenshot.
SECONDS_TO_RUN=${QZ_RUN_SECONDS:-6}
SHOT=${QZ_SCREENSHOT:-$APP/screenshot.png}
DISP=:$(( 90 + RANDOM % 100 ))
Xvfb "$DISP" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
trap 'kill $XVFB 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$DISP ./quorin-zelkon "$@" &
PROG=$!
for _ in $(seq 1 $(( SECONDS_TO_RUN * 2 ))); do
  kill -0 $PROG 2>/dev/null || break
  sleep 0.5
done
if kill -0 $PROG 2>/dev/null; then
  DISPLAY=$DISP ./qz-screenshot "$SHOT" && echo "No display: the program ran on a virtual display; screenshot saved to $SHOT"
  kill $PROG 2>/dev/null || true
  wait $PROG 2>/dev/null || true
else
  wait $PROG || { echo "The program ended with an error"; exit 1; }
fi
