#!/usr/bin/env bash
# A harness run ended by a signal removes its screen file; one killed
# outright leaves it to the next run, which removes it.
set -u
HARNESS=$1
# A temporary folder of its own: the harness runs of other tests sweep the
# shared one.
export TMPDIR=$(mktemp -d)
trap 'rm -rf "$TMPDIR"' EXIT
DIR=$TMPDIR/qz-harness-$(id -u)
unset QT_QPA_PLATFORM
export ASAN_OPTIONS=detect_leaks=0

left() { ls "$DIR"/screen-"$1".json 2>/dev/null; }

for sig in TERM KILL; do
  "$HARNESS" --offline --run-ms 60000 >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 100); do
    [ -n "$(left $pid)" ] && break
    sleep 0.1
  done
  if [ -z "$(left $pid)" ]; then
    echo "run $pid wrote no screen file in $DIR"; kill -KILL $pid; exit 1
  fi
  sleep 1
  kill -$sig $pid
  wait $pid 2>/dev/null
  if [ $sig = TERM ] && [ -n "$(left $pid)" ]; then
    echo "SIGTERM left $(left $pid)"; exit 1
  fi
done
# The file of the run killed outright is still there; the next run sweeps it.
if [ -z "$(left $pid)" ]; then
  echo "the killed run left no file (nothing to sweep)"; exit 1
fi
"$HARNESS" --offline --run-ms 0 >/dev/null 2>&1 || { echo "the next run failed"; exit 1; }
if [ -n "$(left $pid)" ]; then
  echo "the next run did not remove $(left $pid)"; exit 1
fi
echo "screen files removed"
