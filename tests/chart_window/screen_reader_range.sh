#!/usr/bin/env bash
# Operates the real program on a simulated type 115 like a screen reader, through the
# accessibility interface (AT-SPI): opens the chart window, selects "25kV/m" by the radio
# button's "Toggle" action, which checks it without a click, presses Start, and once a point is
# recorded Break and Back; then closes the main window. The recording file must name that range
# in its header and in every row: the simulated instrument reports the range it was last sent.
# The chart window selects the smallest range, "5kV/m", at first.
# Runs in a D-Bus session and under a virtual X server of its own; skipped (77) only when the
# accessibility bus cannot start.
set -euo pipefail
program="$1"
support="$(cd "$(dirname "$0")/../support" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The session's own accessibility bus, found through the standard service folders.
unset AT_SPI_BUS_ADDRESS XDG_DATA_DIRS
command -v dbus-run-session > /dev/null || { echo "SKIP: no D-Bus session (dbus-run-session)"; exit 77; }

cat > "$work/operate.sh" <<'OPERATE'
# Arguments: the program, the folder of the test support files.
source "$2/operate_program.sh"
# A screen reader turns the toolkits' accessibility on through the bus's status; the bus
# launcher starts the accessibility bus on demand.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
  org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:ScreenReaderEnabled \
  variant:boolean:true > /dev/null &&
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress |
  grep -q 'string "unix:' || { echo "SKIP: the accessibility bus did not start"; exit 77; }
"$1" --simulate=115 & pid=$!
"$2/atspi_operator.py" $pid "press:Device info" press:Continue "press:Start measurement chart" \
  toggle:25kV/m press:Start || { kill $pid; exit 1; }
for _ in $(seq 1 100); do  # at most 10 s for the first recorded point
  grep -qs '^[0-9]' "$XDG_DATA_HOME"/zalvo/recordings/*.csv && break
  sleep 0.1
done
"$2/atspi_operator.py" $pid press:Break press:Back || { kill $pid; exit 1; }
# Closed rather than left by Exit, which ends the process at once: the normal end is where the
# sanitizer suite checks for leaks.
"$2/close_window.py" "$(find_window Zalvoxx5_DureRuz)" || { kill $pid; exit 1; }
await_end || { kill $pid; echo "program did not end" >&2; exit 1; }
wait $pid
OPERATE

set +e
timeout 60 dbus-run-session -- "$support/with_xvfb.sh" bash "$work/operate.sh" "$program" \
  "$support" 2> "$work/stderr"
code=$?
set -e
[ "$code" = 77 ] && exit 77
[ "$code" = 0 ] || { grep -v '^dbus-daemon' "$work/stderr"; echo "exit code $code, expected 0"; exit 1; }

files=("$XDG_DATA_HOME"/zalvo/recordings/*.csv)
[ "${#files[@]}" = 1 ] && [ -f "${files[0]}" ] || { echo "${#files[@]} recording files"; exit 1; }
grep -qx '# range,25kV/m' "${files[0]}" || { echo "header range: $(grep '^# range,' "${files[0]}")"; exit 1; }
rows=$(awk -F, '/^[0-9]/ { if ($5 != "25kV/m") { print "row on " $5 > "/dev/stderr"; exit 1 } n++ }
                END { print n + 0 }' "${files[0]}") || { echo "a row on another range"; exit 1; }
[ "$rows" -ge 1 ] || { echo "no recorded point"; exit 1; }
echo "selected through AT-SPI: the instrument measured on 25kV/m, $rows rows"
