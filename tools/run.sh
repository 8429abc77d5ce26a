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

# Headless: a virtual display, the program until its own first connect has
# ended (or QZ_RUN_SECONDS passed), a screenshot a moment later.
TIMEOUT=${QZ_RUN_SECONDS:-60}
SHOT=${QZ_SCREENSHOT:-$APP/screenshot.png}
REPORT=$(mktemp)
rm -f "$REPORT"
DISP=:$(( 90 + RANDOM % 100 ))
Xvfb "$DISP" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
trap 'kill $XVFB 2>/dev/null || true; rm -f "$REPORT"' EXIT
sleep 1
DISPLAY=$DISP QZ_STARTUP_REPORT=$REPORT ./quorin-zelkon "$@" &
PROG=$!
for _ in $(seq 1 $(( TIMEOUT * 4 ))); do
  kill -0 $PROG 2>/dev/null || break
  [ -s "$REPORT" ] && break
  sleep 0.25
done
if kill -0 $PROG 2>/dev/null; then
  sleep 1 # the window repaints after the connect
  state="the first connect had not ended after $TIMEOUT s"
  if [ -s "$REPORT" ]; then
    read -r what type < "$REPORT" || true
    case "$what" in
      connected) state="the main window connected to the simulated ECU (type $type)" ;;
      offline) state="the main window after a failed connect (offline, with its message)" ;;
    esac
  fi
  DISPLAY=$DISP ./qz-screenshot "$SHOT" &&
    echo "No display: the program ran on a virtual display; the screenshot $SHOT shows $state"
  kill $PROG 2>/dev/null || true
  wait $PROG 2>/dev/null || true
else
  wait $PROG || { echo "The program ended with an error"; exit 1; }
fi
