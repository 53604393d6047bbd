#!/usr/bin/env bash
# pt4prog on Wayland, under Debian's weston with its headless backend: the
# program starts, shows its window and quits with the programmer idle, saying
# nothing of window positions it cannot have; then the windows' session (the
# hex view and the dialog, each with the main window as transient parent) runs
# on the same compositor.
#   wayland.sh PT4PROG WINDOW_TEST
set -u
prog=$(realpath "$1")
window_test=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
command -v weston >/dev/null || { echo "wayland: weston is missing (tools/pt4 installs it)"; exit 1; }
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
socket=wayland-pt4-$$
weston --backend=headless-backend.so --socket="$socket" --idle-time=0 >weston.log 2>&1 &
compositor=$!
trap 'kill $compositor 2>/dev/null; wait $compositor 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$socket" ] && break; sleep 0.1; done
check "weston is up" [ -S "$XDG_RUNTIME_DIR/$socket" ]
export WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland LANG=C.UTF-8
unset DISPLAY

PT4_PORT=sim PT4_TRACE=start.log PT4_STARTUP_PROBE=1 timeout 30 "$prog" >probe.txt 2>err.txt
check "pt4prog on Wayland: a normal end" [ $? -eq 0 ]
check "pt4prog on Wayland: it painted" grep -q first_paint probe.txt
check "pt4prog on Wayland: the trace ends idle" ends_idle start.log
check "pt4prog on Wayland: nothing said of positions or activation" \
  bash -c "! grep -qi 'position\|requestActivate\|not supported' err.txt"
PT4_TEST_NO_KEYBOARD=1 timeout 60 "$window_test" desktopSession >session.txt 2>&1
check "the windows' session on Wayland" [ $? -eq 0 ] || cat session.txt

finish wayland
