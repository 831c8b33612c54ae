#!/usr/bin/env bash
# Runs the real program under a virtual X server, presses its buttons like an operator and
# checks the process exit codes: -1 (255) when "Device info" finds no instrument, 0 after "Exit".
set -euo pipefail
program="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf 'unplugged\n' > "$work/no-instrument.scn"
printf 'type 235\n' > "$work/instrument.scn"

run_case() {  # scenario, x and y of the button in the window, key for the box afterwards
  "$(dirname "$0")/../support/with_xvfb.sh" bash -c '
    "$1" --scenario="$2" & pid=$!
    for i in $(seq 1 100); do
      win=$(xdotool search --onlyvisible --name "Zalvoxx5_DureRuz" 2>/dev/null | head -n1 || true)
      [ -n "$win" ] && break
      sleep 0.1
    done
    [ -n "$win" ] || { echo "main window did not appear" >&2; kill $pid; exit 99; }
    sleep 0.3
    xdotool mousemove --window "$win" "$3" "$4" click 1
    sleep 0.5
    xdotool key --clearmodifiers Return || true
    for i in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    if kill -0 $pid 2>/dev/null; then kill $pid; echo "program did not end" >&2; exit 98; fi
    wait $pid
  ' _ "$program" "$1" "$2" "$3"
}

set +e
run_case "$work/no-instrument.scn" 268 76
code=$?
set -e
[ "$code" = 255 ] || { echo "Device info without instrument: exit code $code, expected 255"; exit 1; }

set +e
run_case "$work/instrument.scn" 268 556
code=$?
set -e
[ "$code" = 0 ] || { echo "Exit: exit code $code, expected 0"; exit 1; }
echo "exit codes: 255 without instrument, 0 after Exit"
