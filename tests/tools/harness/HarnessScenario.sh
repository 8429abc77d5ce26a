#!/usr/bin/env bash
# One demonstration through the harness, driven as a user would, and what it
# must show: its exit status, the boxes and dialogs on stderr, the call log,
# the window on top and its screenshot.
#   HarnessScenario.sh HARNESS PROGRAM_FOLDER SCRATCH_FOLDER SCENARIO
set -u
HARNESS=$1
APP=$2
WORK=$3
SCENARIO=$4

rm -rf "$WORK"
mkdir -p "$WORK"
CALLS=$WORK/calls.tsv
PNG=$WORK/screen.png
unset QT_QPA_PLATFORM
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

TAB=$'\t'
rc=0 seconds=0 OUT=$WORK/stdout.txt ERR=$WORK/stderr.txt

# Runs the harness with the arguments given: rc, seconds, $OUT and $ERR.
run_harness() {
  local t0=$SECONDS
  timeout 110 "$HARNESS" "$@" >"$OUT" 2>"$ERR"
  rc=$?
  seconds=$((SECONDS - t0))
  echo "qz-harness $* -> $rc after $seconds s"
  grep -v "XDG_RUNTIME_DIR\|does not support" "$OUT" "$ERR" | cut -c1-300
}

fail() {
  echo "FAILED: $*"
  exit 1
}

expect_rc() { [ "$rc" = "$1" ] || fail "exit status $rc, expected $1"; }
# A line of the file matches the extended regular expression.
expect_line() { grep -Eq -- "$2" "$1" || fail "$(basename "$1") has no line matching: $2"; }
expect_no_line() { ! grep -Eq -- "$2" "$1" || fail "$(basename "$1") has a line matching: $2"; }
count_lines() { grep -Ec -- "$2" "$1"; }

case "$SCENARIO" in
graph_by_clicks)
  # The live view's "Acquisizioni", its SCOPE picture, then RUN in the graph
  # window, left recording for two seconds.
  run_harness --profile "type=30;warmup=1" --run-ms 2000 --screenshot "$PNG" --calls "$CALLS" \
    --keys "Right Right Return wait:500 click:LabelAcquisizioni click:ImageView wait:300 click:ImageRunStop"
  expect_rc 0
  expect_line "$OUT" "^window: TFormGraficoDrt"
  [ -s "$PNG" ] || fail "no screenshot"
  # The live polls with the frame's bytes in hexadecimal.
  polls=$(count_lines "$CALLS" "${TAB}ReadBlock${TAB}0x1${TAB}[0-9]*${TAB}${TAB}[0-9a-f]{2}( [0-9a-f]{2})+${TAB}ok${TAB}0$")
  # 20 ms a poll: a loaded machine may take fewer in the time.
  [ "$polls" -ge 20 ] || fail "only $polls live polls with their bytes in the call log"
  ;;

firmware_download)
  # "Nuovo firmware" clicked on the main window, the file chosen in its
  # dialog; the download, its image size and its result in the call log.
  run_harness --profile "type=30;programms=200;rebootms=200" --run-ms 8000 --calls "$CALLS" \
    --keys "click:ImageProgramma" --open "$APP/Firmware/Demo_T30_V30.5.zp4"
  expect_rc 0
  expect_line "$ERR" "^dialog${TAB}open${TAB}.*${TAB}.*/Demo_T30_V30.5.zp4$"
  n=$(count_lines "$CALLS" "${TAB}ProgramFirmwareImage${TAB}")
  [ "$n" = 1 ] || fail "$n downloads in the call log, expected 1"
  expect_line "$CALLS" "${TAB}ProgramFirmwareImage${TAB}[1-9][0-9]*${TAB}${TAB}${TAB}0${TAB}ok${TAB}0$"
  ;;

firmware_refused_below_the_application)
  # A firmware file with one data record moved below the application's
  # range: the P04 box, its reason on stderr, and no download.
  folder=$WORK/program
  cp -r "$APP" "$folder"
  "$VYXFILE" decrypt "$APP/Firmware/Demo_T30_V30.5.zp4" "$WORK/plain.s19" || fail "cannot decrypt"
  # The first data record S2 24 004000 ... moved to 0x3000, its checksum
  # made right, so that only its place is wrong.
  line=$(sed -n 4p "$WORK/plain.s19" | tr -d '\r')
  [ "${line:0:10}" = "S224004000" ] || fail "unexpected first data record $line"
  body="24003000${line:10:$((${#line} - 12))}"
  sum=0
  for ((i = 0; i < ${#body}; i += 2)); do sum=$((sum + 16#${body:i:2})); done
  moved=$(printf 'S2%s%02X' "$body" $(((~sum) & 0xFF)))
  awk -v moved="$moved" 'NR == 4 { printf "%s\r\n", moved; next } { print }' "$WORK/plain.s19" >"$WORK/low.s19"
  "$VYXFILE" encrypt "$WORK/low.s19" "$folder/Firmware/Low_T30.zp4" || fail "cannot encrypt"
  run_harness --program-folder "$folder" --profile "type=30" --run-ms 1000 --calls "$CALLS" \
    --keys "click:ImageProgramma" --open "$folder/Firmware/Low_T30.zp4"
  expect_rc 0
  expect_line "$ERR" "^box${TAB}[^${TAB}]*${TAB}.*\\(ERR.CODE: P04\\)${TAB}Ok$"
  expect_line "$ERR" "Low_T30.zp4\" refused: line 4 .*0x3000"
  expect_no_line "$CALLS" "${TAB}ProgramFirmwareImage${TAB}"
  ;;

damaged_protocol_library)
  # A copy of the program folder whose protocol library has its dynamic
  # section zeroed: the file and the reason on stderr, the missing
  # library's boxes, and the program ends its start without a crash.
  folder=$WORK/program
  cp -r "$APP" "$folder"
  read -r offset size < <(readelf -W -S "$folder/libProtoVyx.so" | awk '$2 == ".dynamic" { print $5, $6 }')
  [ -n "$offset" ] || fail "no dynamic section found"
  dd if=/dev/zero of="$folder/libProtoVyx.so" bs=1 seek=$((16#$offset)) count=$((16#$size)) conv=notrunc status=none
  run_harness --program-folder "$folder" --run-ms 500
  expect_rc 0
  expect_line "$ERR" "libProtoVyx.so refused: the probe was ended by signal 11"
  expect_line "$ERR" "^box${TAB}[^${TAB}]*${TAB}[^${TAB}]*dll not found[^${TAB}]*${TAB}Ok$"
  expect_line "$ERR" "^box${TAB}[^${TAB}]*${TAB}[^${TAB}]*not possible to start the program[^${TAB}]*${TAB}Ok$"
  ;;

config_file_dialog)
  # A copy of the program folder: a configuration saved through the
  # program's own dialog into a make folder, then opened through it while
  # connected, with its writes and their values in the call log.
  folder=$WORK/program
  cp -r "$APP" "$folder"
  mkdir -p "$folder/ConfigLPG/DEMOCAR"
  file="$folder/ConfigLPG/DEMOCAR/Prova Golf.zc4"
  run_harness --program-folder "$folder" --profile "type=30" --run-ms 1500 \
    --keys "click:ImageSalva" --save "$file"
  expect_rc 0
  [ -s "$file" ] || fail "the save wrote no $file"
  expect_line "$OUT" "Configurazione Prova Golf"

  # Opened: "save first?" answered No, the file chosen in its make folder.
  run_harness --program-folder "$folder" --profile "type=30" --run-ms 3000 --calls "$CALLS" \
    --keys "click:ImageCarica" --answers No --open "$file"
  expect_rc 0
  expect_line "$ERR" "^box${TAB}[^${TAB}]*${TAB}[^${TAB}]*${TAB}No$"
  expect_line "$ERR" "^dialog${TAB}open${TAB}configuration file${TAB}.*/DEMOCAR/Prova Golf.zc4$"
  writes=$(count_lines "$CALLS" "${TAB}Write[A-Za-z]*${TAB}")
  [ "$writes" -ge 100 ] || fail "only $writes writes in the call log"
  # Every write the ECU took shows the values it sent.
  expect_no_line "$CALLS" "${TAB}Write[A-Za-z]*${TAB}0x[0-9a-f]+${TAB}[0-9]*${TAB}[0-9]*${TAB}${TAB}ok${TAB}"
  expect_line "$CALLS" "${TAB}WriteValue${TAB}0x34${TAB}${TAB}${TAB}[0-9]+${TAB}ok${TAB}0$"

  # A file outside the fuel folder and its makes is none the dialog can
  # choose.
  run_harness --program-folder "$folder" --profile "type=30" --keys "click:ImageCarica" --answers No \
    --open "$WORK/elsewhere.zc4"
  expect_rc 2
  expect_line "$ERR" "is not in .*ConfigLPG or one of its make folders"
  ;;

damaged_configuration_values)
  # A configuration file with a value that is no number and one its item
  # cannot hold, opened while connected and answered with the defaults:
  # the damaged-values question, and nothing written into the ECU.
  folder=$WORK/program
  cp -r "$APP" "$folder"
  mkdir -p "$folder/ConfigLPG/DEMO"
  run_harness --program-folder "$folder" --profile "type=30" --run-ms 500 \
    --keys "click:ImageSalva" --save "$folder/ConfigLPG/DEMO/Good.zc4"
  expect_rc 0
  "$VYXFILE" descramble "$folder/ConfigLPG/DEMO/Good.zc4" "$WORK/good.ini" || fail "cannot descramble"
  grep -q "^RifLambda=" "$WORK/good.ini" && grep -q "^MappaK0_0=" "$WORK/good.ini" || fail "unexpected file"
  sed -e 's/^RifLambda=.*/RifLambda=abc/' -e 's/^MappaK0_0=.*/MappaK0_0=300/' "$WORK/good.ini" >"$WORK/bad.ini"
  "$VYXFILE" scramble "$WORK/bad.ini" "$folder/ConfigLPG/DEMO/Bad.zc4" || fail "cannot scramble"
  # "Save first?" No; the damaged-values question takes its default.
  run_harness --program-folder "$folder" --profile "type=30" --run-ms 1500 --calls "$CALLS" \
    --keys "click:ImageCarica" --answers No --open "$folder/ConfigLPG/DEMO/Bad.zc4"
  expect_rc 0
  expect_line "$ERR" "^box${TAB}[^${TAB}]*${TAB}[^${TAB}]* 2 [^${TAB}]*\\(MappaK0_0, RifLambda\\)[^${TAB}]*${TAB}No$"
  expect_no_line "$CALLS" "${TAB}Write[A-Za-z]*${TAB}"
  ;;

lost_link_answered_no)
  # The link lost while the connect reads the ECU: "Riprovare?" answered
  # No, the program goes on disconnected and the run ends as usual, long
  # before its start would have timed out.
  run_harness --profile "type=30;fail=ReadItem:-1:skip5:lose" --answers No --run-ms 500 --calls "$CALLS"
  expect_rc 0
  expect_line "$ERR" "^box${TAB}[^${TAB}]*${TAB}[^${TAB}]*Riprovare\\?${TAB}No$"
  expect_no_line "$ERR" "start is not over"
  expect_line "$CALLS" "${TAB}Disconnect${TAB}"
  [ "$seconds" -le 20 ] || fail "the run took $seconds s"
  ;;

lost_link_answered_yes_forever)
  # Every "Riprovare?" answered Yes: the run still ends, at its time, and
  # says so by its status.
  run_harness --profile "type=30;fail=ReadItem:-1:skip5:lose" --run-ms 500 --calls "$CALLS"
  expect_rc 3
  expect_line "$ERR" "Riprovare\\?${TAB}Yes$"
  [ -s "$CALLS" ] || fail "no call log"
  ;;

cell_centres_by_double_click)
  # A double click on an axis cell of the emissions map opens the
  # cell-centre dialog.
  run_harness --window config --page 6 --profile "type=55" --run-ms 800 --screenshot "$PNG" \
    --keys "wait:300 dclick:DrawGridEmissioni@10,40"
  expect_rc 0
  expect_line "$OUT" "^window: TFormCentriCelle"
  [ -s "$PNG" ] || fail "no screenshot"
  ;;

wrong_actions)
  run_harness --offline --keys "click:NoSuchWidget"
  expect_rc 2
  expect_line "$ERR" "click:NoSuchWidget: no visible widget named NoSuchWidget"
  run_harness --offline --keys "dclick:ImageConfig@5000,5"
  expect_rc 2
  expect_line "$ERR" "outside the widget"
  # The offline warning has only its OK button.
  run_harness --offline --answers No
  expect_rc 2
  expect_line "$ERR" "the box has no button No"
  run_harness --offline --keys "wait:soon"
  expect_rc 2
  run_harness --offline --answers Maybe
  expect_rc 2
  run_harness --offline --program-folder "$WORK/none"
  expect_rc 2
  ;;

*)
  fail "unknown scenario $SCENARIO"
  ;;
esac
echo "passed: $SCENARIO"
