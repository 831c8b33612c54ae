#!/usr/bin/env bash
# Runs a command under a virtual X server of its own. Xvfb picks a free display number itself
# (-displayfd), so tests started side by side never race for the same one, as `xvfb-run -a`
# does. The server ends with the command; the command's exit status is kept.
#   with_xvfb.sh COMMAND [ARGUMENTS...]
set -uo pipefail
work="$(mktemp -d)"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$work"' EXIT
# The number is written once the server accepts connections.
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  kill -0 $xvfb 2>/dev/null || break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
DISPLAY=":$(head -n1 "$work/display")" "$@"
