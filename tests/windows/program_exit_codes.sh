#!/usr/bin/env bash
# Runs the real program under a virtual X server, leaves it like an operator and checks its
# exit code. Each case runs a copy of the program in a folder of its own beside its own
# SETUP.INI, which must stay byte for byte and with its time stamp, in a folder that gains no
# file; and no process of the program (or started by it) may be left.
#   no-instrument  "Device info" finds no instrument: -1 (255)
#   exit           the Exit button: 0
#   close          closing the main window, as a window manager asks: 0
#   display        the display window measures, Break, Back, then Exit: 0
set -euo pipefail
program="$1"
support="$(cd "$(dirname "$0")/../support" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cat > "$work/cases.sh" <<'CASES'
# program work-folder support-folder; every case on the one X server
set -euo pipefail
program="$1" work="$2" support="$3"
source "$support/operate_program.sh"
printf 'unplugged\n' > "$work/no-instrument.scn"

operate() {  # case; the program runs as $pid
  case "$1" in
    no-instrument)
      xdotool mousemove --window "$(main_window)" 268 76 click 1        # Device info
      find_window "E R R O R" > /dev/null || { echo "no error box" >&2; kill $pid; exit 96; }
      xdotool key --clearmodifiers Return || true ;;
    exit) xdotool mousemove --window "$(main_window)" 268 556 click 1 ;;  # Exit
    close) "$support/close_window.py" "$(main_window)" ;;
    display)
      display=$(open_window_from_menu 268 132 "Display Zalvo 235")     # Start measurement display
      # The clicks queue up in order: Break and Back reach the window while it measures.
      xdotool mousemove --window "$display" 568 287 click 1             # Start
      xdotool mousemove --window "$display" 568 327 click 1             # Break
      xdotool mousemove --window "$display" 792 425 click 1             # Back
      # Back shows the main window again.
      xdotool mousemove --window "$(main_window)" 268 556 click 1 ;;    # Exit
  esac
}

run_case() {  # case expected-exit-code
  local folder="$work/$1" files_before stamp_before code left
  mkdir "$folder"
  cp "$program" "$folder/zalvo"
  printf '[Display]\r\nDisplayDepiction=0\r\nLimit=10\r\n[Sampling]\r\nSamplingTimeDisplay=200\r\n' \
    > "$folder/SETUP.INI"
  # An old time stamp, so that a rewrite with the same bytes within the second still shows.
  touch -d '2001-02-03 04:05:06' "$folder/SETUP.INI"
  cp -p "$folder/SETUP.INI" "$work/$1.before"
  files_before=$(ls -A "$folder")
  stamp_before=$(stat -c %y "$folder/SETUP.INI")

  # The mark in the environment finds the program and anything it started, wherever they went.
  if [ "$1" = no-instrument ]; then
    ZALVO_EXIT_CASE="$folder" "$folder/zalvo" --scenario="$work/no-instrument.scn" & pid=$!
  else
    ZALVO_EXIT_CASE="$folder" "$folder/zalvo" --simulate=235 & pid=$!
  fi
  operate "$1"
  await_end || { kill $pid; echo "$1: the program did not end" >&2; exit 98; }
  code=0
  wait $pid || code=$?

  [ "$code" = "$2" ] || { echo "$1: exit code $code, expected $2"; exit 1; }
  cmp "$work/$1.before" "$folder/SETUP.INI" || { echo "$1: SETUP.INI was changed"; exit 1; }
  [ "$(stat -c %y "$folder/SETUP.INI")" = "$stamp_before" ] ||
    { echo "$1: SETUP.INI was written again"; exit 1; }
  [ "$(ls -A "$folder")" = "$files_before" ] ||
    { echo "$1: the program folder changed:"; ls -A "$folder"; exit 1; }
  left=$(grep -lsxF -z "ZALVO_EXIT_CASE=$folder" /proc/[0-9]*/environ || true)
  [ -z "$left" ] || { echo "$1: processes left: $left"; exit 1; }
  echo "$1: exit code $code, SETUP.INI untouched, no process left"
}

run_case no-instrument 255
run_case exit 0
run_case close 0
run_case display 0
CASES

timeout 120 "$support/with_xvfb.sh" bash "$work/cases.sh" "$program" "$work" "$support"
