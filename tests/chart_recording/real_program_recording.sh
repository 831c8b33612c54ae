#!/usr/bin/env bash
# Runs the real program under a virtual X server on a scripted instrument, starts a chart
# recording like an operator and ends it the hard way, then checks the recording file:
#   lost             the instrument disappears: "E R R O R occurred", exit code -1 (255)
#   killed           the program is killed with SIGKILL while it records
#   file-size-limit  a file size limit of 1 KiB: the file fills, the program records on
# Every row must be whole, its elapsed time rising from 0 by at least the sampling time, its
# value the next of the scenario's counts.
set -euo pipefail
program="$1"
case_name="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/data"

# Counts 101, 102, ... on the 2kV/m range: 0.101 kV/m, 0.102 kV/m, ...
counts="$(seq -s ' ' 101 400)"
printf 'type 235\nvalue %s\n' "$counts" > "$work/instrument.scn"
# Device info, the chart's preparation and Start take 20 transfers, each cycle 5: the
# instrument is gone at the seventh cycle's reading, after six points.
printf 'type 235\nvalue %s\nunplug-after 50\n' "$counts" > "$work/lost.scn"
lost_rows=6

cat > "$work/operate.sh" <<'OPERATE'
# program scenario case helpers
source "$4"
if [ "$3" = file-size-limit ]; then
  (ulimit -f 1; exec "$1" --scenario="$2") & pid=$!
else
  "$1" --scenario="$2" & pid=$!
fi
chart=$(open_window_from_menu 268 188 "Chart Zalvo 235")  # Start measurement chart
xdotool mousemove --window "$chart" 81 193 click 1       # Start
if [ "$3" = lost ]; then
  close_error_box_and_wait
else
  # SIGKILL once five rows are in the file; under the size limit once the file has no room
  # for another row and two more cycles ran into the limit. At most 10 s.
  for i in $(seq 1 100); do
    file=$(ls "$XDG_DATA_HOME"/zalvo/recordings/*.csv 2>/dev/null | head -n1 || true)
    if [ -n "$file" ]; then
      [ "$3" = killed ] && [ "$(grep -c '^[0-9]' "$file")" -ge 5 ] && break
      [ "$3" = file-size-limit ] && [ "$(stat -c %s "$file")" -gt 960 ] && { sleep 0.4; break; }
    fi
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  kill -0 $pid 2>/dev/null || { wait $pid; echo "program ended by itself: $?" >&2; exit 95; }
  kill -KILL $pid
fi
wait $pid 2>/dev/null
OPERATE

set +e
timeout 90 "$(dirname "$0")/../support/with_xvfb.sh" bash "$work/operate.sh" "$program" \
  "$work/$([ "$case_name" = lost ] && echo lost || echo instrument).scn" "$case_name" \
  "$(cd "$(dirname "$0")/../support" && pwd)/operate_program.sh"
code=$?
set -e
case "$case_name" in
  lost) expected=255 ;;
  *) expected=137 ;;  # ended by our SIGKILL, not by a signal of its own
esac
[ "$code" = "$expected" ] || { echo "$case_name: exit code $code, expected $expected"; exit 1; }

files=("$XDG_DATA_HOME"/zalvo/recordings/*.csv)
[ "${#files[@]}" = 1 ] && [ -f "${files[0]}" ] || { echo "$case_name: ${#files[@]} recording files"; exit 1; }
file="${files[0]}"
[ "$(tail -c 1 "$file" | od -An -c | tr -d ' ')" = '\n' ] || { echo "$case_name: last line cut off"; exit 1; }
[ "$(head -n 1 "$file")" = "# Zalvo recording,1" ] || { echo "$case_name: not a recording"; exit 1; }
grep -qx '# program,zalvo 2.0.3.4' "$file" || { echo "$case_name: program line missing"; exit 1; }
grep -qx '# sampling time ms,200' "$file" || { echo "$case_name: sampling time missing"; exit 1; }

rows=$(awk -F, '
  /^#/ || /^elapsed_ms,/ { next }
  NF != 8 || $7 != 0 { print "bad row: " $0 > "/dev/stderr"; bad = 1; exit }
  {
    count = int($3 * 1000 + 0.5)
    if (n == 0 && $1 != 0) { print "first row at " $1 > "/dev/stderr"; bad = 1; exit }
    if (n > 0 && $1 - x < 200) { print "elapsed " x " then " $1 > "/dev/stderr"; bad = 1; exit }
    if (n > 0 && count != previous + 1) { print "count " previous " then " count > "/dev/stderr"; bad = 1; exit }
    if ($4 != "kV/m" || $5 != "2kV/m") { print "unit or range: " $0 > "/dev/stderr"; bad = 1; exit }
    x = $1; previous = count; n++
  }
  END { if (bad) exit 1; print n }' "$file") || { echo "$case_name: rows do not match the readings"; exit 1; }

case "$case_name" in
  lost) [ "$rows" = "$lost_rows" ] || { echo "lost: $rows rows, expected $lost_rows"; exit 1; } ;;
  killed) [ "$rows" -ge 5 ] || { echo "killed: only $rows rows in 10 s"; exit 1; } ;;
  file-size-limit)
    size=$(stat -c %s "$file")
    { [ "$rows" -ge 1 ] && [ "$size" -le 1024 ]; } || { echo "file-size-limit: $rows rows, $size bytes"; exit 1; } ;;
esac
echo "$case_name: exit code $code, $rows whole rows matching the readings"
