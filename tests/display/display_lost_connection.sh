#!/usr/bin/env bash
# Runs the real program under a virtual X server on a scripted instrument that disappears
# while the display window measures, and checks that the program shows "E R R O R occurred"
# and ends with -1 (255).
set -euo pipefail
program="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Device info takes 4 transfers, the preparation 7, Start 5, each cycle 3: the instrument is
# gone in the fourth cycle.
printf 'type 235\nunplug-after 26\n' > "$work/lost.scn"

set +e
"$(dirname "$0")/../support/with_xvfb.sh" bash -c '
  source "$3"
  "$1" --scenario="$2" & pid=$!
  display=$(open_window_from_menu 268 132 "Display Zalvo 235")  # Start measurement display
  xdotool mousemove --window "$display" 568 287 click 1  # Start
  close_error_box_and_wait
  wait $pid
' _ "$program" "$work/lost.scn" "$(dirname "$0")/../support/operate_program.sh"
code=$?
set -e
[ "$code" = 255 ] || { echo "lost connection while measuring: exit code $code, expected 255"; exit 1; }
echo "lost connection while measuring: \"E R R O R occurred\", exit code 255"
