#!/usr/bin/env bash
# Runs the real program under a virtual X server, presses its buttons like an operator and
# checks the process exit codes: -1 (255) when "Device info" finds no instrument, 0 after "Exit".
set -euo pipefail
program="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf 'unplugged\n' > "$work/no-instrument.scn"
printf 'type 235\n' > "$work/instrument.scn"

run_case() {  # scenario, x and y of the button in the window, caption of the box it opens
  "$(dirname "$0")/../support/with_xvfb.sh" bash -c '
    source "$6"
    "$1" --scenario="$2" & pid=$!
    win=$(find_window "Zalvoxx5_DureRuz") || { echo "main window did not appear" >&2; kill $pid; exit 99; }
    sleep 0.3
    xdotool mousemove --window "$win" "$3" "$4" click 1
    if [ -n "$5" ]; then
      find_window "$5" > /dev/null || { echo "no box \"$5\"" >&2; kill $pid; exit 96; }
      xdotool key --clearmodifiers Return || true
    fi
    await_end || { kill $pid; echo "program did not end" >&2; exit 98; }
    wait $pid
  ' _ "$program" "$1" "$2" "$3" "$4" "$(dirname "$0")/../support/operate_program.sh"
}

set +e
run_case "$work/no-instrument.scn" 268 76 "E R R O R"
code=$?
set -e
[ "$code" = 255 ] || { echo "Device info without instrument: exit code $code, expected 255"; exit 1; }

set +e
run_case "$work/instrument.scn" 268 556 ""
code=$?
set -e
[ "$code" = 0 ] || { echo "Exit: exit code $code, expected 0"; exit 1; }
echo "exit codes: 255 without instrument, 0 after Exit"
