#!/usr/bin/env bash
# pt4prog.exe under Wine on its windows platform, beside the Linux pt4prog,
# both driven with the same keys under a real X server and window manager: a
# read, a load through the real file dialog, a write on the simulated programmer
# (with its compare), a save, and a quit. The chip file, the saved file and every
# port access must be the Linux build's, and both traces must end idle. Then
# the session ends (log off) under a write: the pulse is dropped and the
# programmer idle before Windows ends the process.
#   session.sh LINUX_PT4PROG PT4PROG_EXE WINEPREFIX [SCREENSHOT]
set -u
linux=$(realpath "$1")
exe=$(realpath "$2")
export WINEPREFIX=$3 WINEDEBUG=-all
shot=${4:-}
wine=/usr/lib/wine/wine64
# A Wine server left from another run keeps that run's display: this one starts its own.
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
"$wineserver" -k 2>/dev/null
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../e2e/lib.sh
source "$here/../e2e/lib.sh"
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null
  "$wineserver" -k 2>/dev/null
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
for tool in Xvfb openbox xdotool; do
  command -v $tool >/dev/null || { echo "session: $tool is missing (tools/pt4 installs it)"; exit 1; }
done
# The Linux program on the X server too, whatever the runner chose.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 5>display.txt &
xvfb=$!
for _ in $(seq 100); do [ -s display.txt ] && break; sleep 0.1; done
display=:$(head -n 1 display.txt)
# Every Wine process on it: the first one (winepath, say) starts Wine's desktop
# for all that follow.
export DISPLAY=$display
for _ in $(seq 50); do DISPLAY=$display xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
sleep 1
x() { DISPLAY=$display xdotool "$@"; }

wait_window() {  # wait_window NAME: the id of the visible window of that name (Wine's first start is slow)
  for _ in $(seq 900); do
    local w
    w=$(x search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  return 1
}
wait_gone() {  # wait_gone NAME
  for _ in $(seq 300); do
    x search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}
wait_written() {  # wait_written TRACE: until a write has run and the trace ended idle
  for _ in $(seq 600); do
    grep -q 'out 0x37A 0x0B' "$1" && ends_idle "$1" && return 0
    sleep 0.1
  done
  return 1
}
key() { x key --clearmodifiers "$@"; sleep 0.5; }

# A few words to program (each pulse is 100 ms), among words left blank.
python3 -c "import sys; sys.stdout.buffer.write(bytes([0] * 200 + [1, 2, 3, 0x0D, 0x0E, 0x0F] + [0] * 50))" >image.rom

# session NAME PROGRAM...: the same keys for both programs, in folder NAME.
# start_write NAME PROGRAM...: in folder NAME, the program up, the chip read, an image loaded
# through the file dialog, and a write started with the parameters dialog's
# Write button and the box that shows the parameters.
start_write() {
  local name=$1
  shift
  mkdir -p "$name" && cp image.rom "$name/"
  dir=$(cd "$name" && pwd)
  at=$dir/
  [ "$name" != linux ] && at=$("$wine" winepath -w "$dir" 2>/dev/null)\\
  (cd "$name" && DISPLAY=$display PT4_PORT=sim:chip.bin PT4_TRACE=trace.log PT4_ECHO_BOXES=1 \
    "$@" >out.txt 2>&1) &
  app=$!
  main=$(wait_window "^Pt4prog - simulated programmer$") || { echo "$name: no main window"; return 1; }
  x windowactivate --sync "$main" >/dev/null 2>&1
  sleep 1
  # A read of the blank chip first: its 256 words are in the trace too.
  key F5
  for _ in $(seq 300); do
    [ "$(grep -c ' in 0x378' "$dir/trace.log")" -ge 256 ] && ends_idle "$dir/trace.log" && break
    sleep 0.1
  done
  sleep 0.5
  key F3
  sleep 1.5
  x type --delay 30 "${at}image.rom"
  key Return
  sleep 1.5
  key F6
  local dialog
  dialog=$(wait_window '^Write / Compare parameters$') || { echo "$name: no parameters dialog"; return 1; }
  x windowactivate --sync "$dialog" >/dev/null 2>&1
  sleep 0.5
  x mousemove --window "$dialog" 266 110 click 1
  sleep 1.5
  key Return
}
wait_gone_app() {  # until the program has ended (10 s), then make sure
  for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  kill "$app" 2>/dev/null
  wait "$app" 2>/dev/null
  app=""
}
# session NAME PROGRAM...: the write to its end, the report, a save, a quit.
session() {
  start_write "$@" || return 1
  wait_written "$dir/trace.log" || echo "$1: the write did not end"
  sleep 2
  [ -n "$shot" ] && [ "$1" = windows ] && import -window root "$shot"
  # Save: Esc to the dump, F2, a name, Enter.
  key Escape
  key F2
  sleep 1.5
  x type --delay 30 "${at}saved.hex"
  key Return
  sleep 1.5
  # Quit: Esc on the dump asks; Return takes the default answer.
  key Escape
  key Return
  wait_gone_app
}
session linux env QT_QPA_PLATFORM=xcb "$linux"
session windows "$wine" "$exe"
for f in chip.bin saved.hex; do
  check "the same $f as on Linux" cmp -s linux/$f windows/$f
done
check "a write was made ($(grep -c 'out 0x37A 0x0B' windows/trace.log) bursts)" grep -q 'out 0x37A 0x0B' windows/trace.log
check "the chip was read ($(grep -c ' in 0x378' windows/trace.log) reads)" \
  [ "$(grep -c ' in 0x378' windows/trace.log)" -ge 256 ]
check "every port write as on Linux ($(writes windows/trace.log | wc -l))" \
  cmp -s <(writes linux/trace.log) <(writes windows/trace.log)
check "the trace ends idle" ends_idle windows/trace.log
# (Windows' standard output writes each line end as CR LF.)
check "the same boxes as on Linux" diff <(tr -d '\r' <linux/out.txt | grep '^box:') \
  <(tr -d '\r' <windows/out.txt | grep '^box:')

# Logging off under a write: Windows ends the process as soon as its windows
# have answered, so the pulse is dropped and the programmer set idle at once.
start_write logoff "$wine" "$exe"
for _ in $(seq 100); do grep -q 'out 0x37A 0x0B' logoff/trace.log && break; sleep 0.1; done
check "log-off: a write was under way" grep -q 'out 0x37A 0x0B' logoff/trace.log
# --force: the processes are ended once their windows have answered, as on Windows.
"$wine" wineboot --end-session --force >/dev/null 2>&1
wait_gone_app
check "log-off: the trace ends idle" ends_idle logoff/trace.log
check "log-off: the pulse dropped first" [ "$(writes logoff/trace.log | tail -12 | head -3)" = "$pulseoff" ]

finish session
