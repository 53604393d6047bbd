#!/usr/bin/env bash
# pt4prog under a real X server (Xvfb) with a window manager, driven with keys and
# clicks as a person would. The real file dialog hands back a typed name of a
# missing file and the program says "File not found !"; the dialog reopens in the
# folder of the last load. Then the display goes away under a pass (a logout, an
# X crash, a dropped forwarded connection): the X server is killed mid-read and
# mid-write, and the trace must end with the pulse dropped and the programmer idle.
#   x11.sh PT4PROG
set -u
prog=$(realpath "$1")
display=""
cleanup() {
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null
  rm -rf "$work"
}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
trap cleanup EXIT
# A real X display, whatever the test runner chose for the other window tests.
export QT_QPA_PLATFORM=xcb
for tool in Xvfb openbox xdotool; do
  command -v $tool >/dev/null || { echo "x11: $tool is missing (tools/pt4 installs it)"; exit 1; }
done

# The deadlines are long (a minute) because they only matter when the step did
# not happen; on a busy machine a window may take seconds to appear.
wait_window() {  # wait_window NAME: the id of the visible window of that name
  local w=""
  for _ in $(seq 600); do
    w=$(DISPLAY=$display xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  return 1
}

start_x() {
  # A display number no other server holds: Xvfb picks it and tells it, so no
  # key of this test can reach another program's windows.
  rm -f display.txt
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 5>display.txt &
  xvfb=$!
  for _ in $(seq 100); do [ -s display.txt ] && break; sleep 0.1; done
  display=:$(head -n 1 display.txt)
  for _ in $(seq 50); do DISPLAY=$display xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
  DISPLAY=$display openbox >/dev/null 2>&1 &
  wm=$!
  sleep 0.5
}

run_case() {  # run_case NAME TRACE: pt4prog up, then the keys of the case
  start_x
  DISPLAY=$display PT4_PORT=sim PT4_TRACE="$2" PT4_ECHO_BOXES=1 "$prog" >"$1.out" 2>&1 &
  app=$!
  main=$(wait_window '^Pt4prog - simulated programmer$') || { echo "no main window"; return 1; }
  DISPLAY=$display xdotool windowactivate --sync "$main" >/dev/null 2>&1
  sleep 0.3
}

kill_x_and_wait() {
  kill -9 "$xvfb"
  wait "$xvfb" 2>/dev/null
  kill "$wm" 2>/dev/null
  # The program must end by itself; after 20 s it is taken for hung.
  for _ in $(seq 200); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$app" 2>/dev/null; then
    echo "pt4prog did not end when its display went away"
    kill -9 "$app"
  fi
  wait "$app"
  local rc=$?
  app=""
  return $rc
}

# The open dialog: a typed name of a missing file reaches the program's own box;
# the next open starts in the folder of the last load.
mkdir sub
python3 -c "import sys; sys.stdout.buffer.write(bytes([1] * 256))" >sub/a.rom
python3 -c "import sys; sys.stdout.buffer.write(bytes([2] * 256))" >sub/b.rom
run_case dialog dialog.log
wait_active() {  # wait_active WINDOW: until the window manager has given it the keyboard
  for _ in $(seq 600); do
    [ "$(DISPLAY=$display xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
wait_line() {  # wait_line COUNT PATTERN FILE: until FILE has COUNT lines matching PATTERN
  for _ in $(seq 600); do
    [ "$(grep -c "$2" "$3" 2>/dev/null)" -ge "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
open_and_type() {  # open_and_type NAME: F3, the name typed into the real dialog, Enter
  DISPLAY=$display xdotool key F3
  local dialog
  dialog=$(wait_window '^Open$') || return 1
  wait_active "$dialog" || return 1
  sleep 0.3
  DISPLAY=$display xdotool type --delay 20 "$1"
  DISPLAY=$display xdotool key Return
  # The dialog is gone once the name was taken.
  for _ in $(seq 600); do
    DISPLAY=$display xdotool search --onlyvisible --name '^Open$' >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}
check "dialog: a typed name is taken" open_and_type "$work/nosuchfile.rom"
check "dialog: a missing name gets the program's own box" wait_line 1 'box: Pt4prog: File not found !' dialog.out
DISPLAY=$display xdotool key Return
check "dialog: the main window has the keyboard again" wait_active "$main"
check "dialog: an existing file loads" open_and_type "$work/sub/a.rom"
check "dialog: a name typed without its folder" open_and_type "b.rom"
sleep 1
check "dialog: reopens in the folder of the last load" [ "$(grep -c 'File not found' dialog.out)" -eq 1 ]
kill "$app"
wait "$app" 2>/dev/null
app=""
kill "$wm" "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null

# A Russian keyboard layout: the keys of A and B type A and B into a hex cell,
# without switching layouts (the caption shows each key's code).
run_case layout layout.log
DISPLAY=$display setxkbmap us,ru && DISPLAY=$display setxkbmap ru
DISPLAY=$display xdotool key F12
hexview=$(wait_window '^Hexedit$')
check "layout: the hex view opened" [ -n "$hexview" ]
DISPLAY=$display xdotool windowactivate --sync "$hexview" >/dev/null 2>&1
wait_active "$hexview"
DISPLAY=$display xdotool key x Cyrillic_ef
for _ in $(seq 50); do [ "$(DISPLAY=$display xdotool getwindowname "$hexview")" = 65 ] && break; sleep 0.1; done
check "layout: the key of A types A under a Cyrillic layout" [ "$(DISPLAY=$display xdotool getwindowname "$hexview")" = 65 ]
kill "$app"
wait "$app" 2>/dev/null
app=""
check "layout: the trace ends idle" [ "$(writes layout.log | tail -9)" = "$reset9" ]
kill "$wm" "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null

# No port: the refusal at start, a title that says so, and the refusal shown
# again for a command centred over the main window, which sits in a corner of
# the screen (a box centred on the screen would be half off it).
start_x
DISPLAY=$display PT4_PORT=/dev/pt4-none PT4_ECHO_BOXES=1 "$prog" >refused.out 2>&1 &
app=$!
check "no port: the refusal at start names the simulator" wait_line 1 'box: Pt4prog: Cannot open /dev/pt4-none.*PT4_PORT=sim' refused.out
DISPLAY=$display xdotool key Return
main=$(wait_window '^Pt4prog - no port$')
check "no port: the title says so" [ -n "$main" ]
DISPLAY=$display xdotool windowmove --sync "$main" 0 0 >/dev/null 2>&1
DISPLAY=$display xdotool windowactivate --sync "$main" >/dev/null 2>&1
wait_active "$main"
DISPLAY=$display xdotool key F5
box=$(wait_window '^Pt4prog$')
centre() {  # centre WINDOW: "X Y" of its middle on the screen; fails when it has none
  local X="" Y="" WIDTH="" HEIGHT="" geometry
  geometry=$(DISPLAY=$display xdotool getwindowgeometry --shell "$1" 2>/dev/null) || return 1
  eval "$geometry"
  [ -n "$X" ] && [ -n "$WIDTH" ] || return 1
  echo "$((X + WIDTH / 2)) $((Y + HEIGHT / 2))"
}
over_main() {  # the box's middle within 40 pixels of the main window's
  local b m
  b=$(centre "$box") && m=$(centre "$main") || return 1
  read -r bx by <<<"$b"
  read -r mx my <<<"$m"
  [ $(((bx - mx) * (bx - mx) + (by - my) * (by - my))) -lt 1600 ]
}
# The window manager may place the box after it is shown: wait for the place.
placed=1
[ -n "$box" ] && for _ in $(seq 600); do over_main && { placed=0; break; }; sleep 0.1; done
check "no port: the box for a command is over the main window (box ${bx:-none},${by:-none}, window ${mx:-none},${my:-none})" [ $placed -eq 0 ]
DISPLAY=$display xdotool key Return
kill "$app"
wait "$app" 2>/dev/null
app=""
kill "$wm" "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null

# Mid-read: F5, then the display is gone half-way.
run_case read read.log
DISPLAY=$display xdotool key F5
wait_line 21 ' in 0x378' read.log
reads_before=$(grep -c ' in 0x378' read.log)
kill_x_and_wait
check "read: the pass was running" [ "$reads_before" -gt 20 ]
check "read: the program ended" [ -z "$(jobs -p | grep -x "${app:-none}")" ]
check "read: trace ends idle" [ "$(writes read.log | tail -9)" = "$reset9" ]

# Mid-write: F6, the Write button, the parameter box, then the display is gone.
run_case write write.log
DISPLAY=$display xdotool key F6
dialog=$(wait_window '^Write / Compare parameters$')
check "write: the parameters dialog" [ -n "$dialog" ]
DISPLAY=$display xdotool mousemove --window "$dialog" 266 110 click 1
box=$(wait_window '^Pt4prog$')
check "write: the box before the write has the keyboard" wait_active "$box"
DISPLAY=$display xdotool key Return
# Well into the write: the supply on and some bursts sent.
wait_line 1 'out 0x378 0x1E' write.log && wait_line 3 'out 0x37A 0x0B' write.log
bursts=$(grep -c 'out 0x37A 0x0B' write.log)
kill_x_and_wait
check "write: bursts were under way ($bursts control latch writes)" [ "$bursts" -gt 0 ]
check "write: trace ends idle" [ "$(writes write.log | tail -9)" = "$reset9" ]
check "write: pulse dropped first" [ "$(writes write.log | tail -12 | head -3)" = "$pulseoff" ]
check "write: supply was on when the display went" grep -q 'out 0x378 0x1E' write.log

finish x11
