# Shell functions for tests that drive the real program under a virtual X server with xdotool.
# Source this file inside the X session; the program runs as $pid.

# The program must open X windows whatever platform the caller's environment chose (the
# in-process GUI tests run offscreen).
export QT_QPA_PLATFORM=xcb

# Waits until the program has ended; false when it is still running after 5 s.
await_end() {
  for i in $(seq 1 50); do kill -0 $pid 2>/dev/null || return 0; sleep 0.1; done
  ! kill -0 $pid 2>/dev/null
}

find_window() {  # name; prints the window id once it is visible
  for i in $(seq 1 100); do
    win=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    [ -n "$win" ] && { echo "$win"; return 0; }
    sleep 0.1
  done
  return 1
}

# Prints the main window's id once it is visible and takes input.
main_window() {
  find_window "Zalvoxx5_DureRuz" || { echo "main window did not appear" >&2; kill $pid; exit 99; }
  sleep 0.3
}

# "Device info" and "&Continue", then the main-window button at x y; prints the window named
# by the last argument once it has appeared.
open_window_from_menu() {  # x y window-name
  local main
  main=$(main_window)
  xdotool mousemove --window "$main" 268 76 click 1     # Device info
  sleep 0.5
  xdotool mousemove --window "$main" 271 452 click 1    # Continue
  sleep 0.3
  xdotool mousemove --window "$main" "$1" "$2" click 1
  find_window "$3" || { echo "window '$3' did not appear" >&2; kill $pid; exit 97; }
  sleep 0.3
}

# Waits for the lost-connection box, closes it and waits for the program to end.
close_error_box_and_wait() {
  find_window "E R R O R occurred" > /dev/null || { echo "no error box" >&2; kill $pid; exit 96; }
  xdotool key --clearmodifiers Return || true
  await_end || { kill $pid; echo "program did not end" >&2; exit 98; }
}
