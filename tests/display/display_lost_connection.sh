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
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  find_window() {  # name; prints the window id once it is visible
    for i in $(seq 1 100); do
      win=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
      [ -n "$win" ] && { echo "$win"; return 0; }
      sleep 0.1
    done
    return 1
  }
  "$1" --scenario="$2" & pid=$!
  main=$(find_window "Zalvoxx5_DureRuz") || { echo "main window did not appear" >&2; kill $pid; exit 99; }
  sleep 0.3
  xdotool mousemove --window "$main" 268 76 click 1     # Device info
  sleep 0.5
  xdotool mousemove --window "$main" 271 452 click 1    # Continue
  sleep 0.3
  xdotool mousemove --window "$main" 268 132 click 1    # Start measurement display
  display=$(find_window "Display Zalvo 235") || { echo "display window did not appear" >&2; kill $pid; exit 97; }
  sleep 0.3
  xdotool mousemove --window "$display" 568 287 click 1 # Start
  find_window "E R R O R occurred" > /dev/null || { echo "no error box" >&2; kill $pid; exit 96; }
  xdotool key --clearmodifiers Return || true
  for i in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then kill $pid; echo "program did not end" >&2; exit 98; fi
  wait $pid
' _ "$program" "$work/lost.scn"
code=$?
set -e
[ "$code" = 255 ] || { echo "lost connection while measuring: exit code $code, expected 255"; exit 1; }
echo "lost connection while measuring: \"E R R O R occurred\", exit code 255"
