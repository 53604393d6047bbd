#!/usr/bin/env bash
# End-to-end checks on the real executables, on the simulated programmer.
#   run.sh PT4PROG PT4CLI
set -u
prog=$(realpath "$1")
cli=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"

# Start-up and a normal exit: the port mode, the idle writes, and idle again last.
QT_QPA_PLATFORM=offscreen PT4_PORT=sim PT4_TRACE=start.log PT4_STARTUP_PROBE=1 "$prog" >probe.txt 2>/dev/null
rc=$?
check "normal exit code" [ "$rc" -eq 0 ]
check "first write is the port mode" [ "$(writes start.log | head -1)" = "out 0x77A 0x80" ]
check "idle writes at start" [ "$(writes start.log | sed -n 2,10p)" = "$reset9" ]
check "idle writes last" [ "$(writes start.log | tail -9)" = "$reset9" ]
check "first paint reported" grep -q first_paint probe.txt

# The one start-up failure: the chip file cannot be created. No window, exit code 2.
QT_QPA_PLATFORM=offscreen PT4_PORT=sim:/nonexistent/dir/chip.bin PT4_PROBE_STARTUP_BOX=1 \
  PT4_STARTUP_PROBE=1 timeout 10 "$prog" </dev/null >out2.txt 2>err.txt
rc=$?
check "exit code 2 when the chip file cannot be created" [ "$rc" -eq 2 ]
check "the message box" grep -q "startup_box=Can not create system file ..." out2.txt
check "no window painted" bash -c '! grep -q first_paint out2.txt'
check "exit-code-2 path names the file" grep -q "chip file" err.txt
check "no window trace on failure" [ ! -e start2.log ]

# No display: one line that says so and names pt4cli, exit 1, and the port untouched.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PT4_PORT=sim PT4_TRACE=nodisplay.log \
  "$prog" >out3.txt 2>err3.txt
check "no display: exit 1" [ $? -eq 1 ]
check "no display: one line naming pt4cli" bash -c "[ \$(cat out3.txt err3.txt | wc -l) -eq 1 ] && grep -q 'pt4cli' err3.txt"
# Asked what it is, it answers without a display, and touches no port.
env -u DISPLAY -u WAYLAND_DISPLAY PT4_TRACE=help.log "$prog" --help >out3.txt 2>err3.txt
rc=$?
check "--help without a display: exit 0, the simulator named" \
  bash -c "[ $rc -eq 0 ] && grep -q 'PT4_PORT=sim' out3.txt && [ ! -e help.log ]"
check "--version: the build's" [ "$(env -u DISPLAY "$prog" --version)" = "pt4prog $(sed -n 's/^project(pt4prog VERSION \([0-9.]*\).*/\1/p' "$here/../../CMakeLists.txt")" ]
QT_QPA_PLATFORM=xcb DISPLAY=:999 PT4_PORT=sim "$prog" >out3.txt 2>err3.txt
check "display gone: exit 1" [ $? -eq 1 ]
check "display gone: one line, no advice to reinstall" \
  bash -c "[ \$(cat out3.txt err3.txt | wc -l) -eq 1 ] && grep -q 'cannot connect to the display (DISPLAY=:999)' err3.txt"

# SIGTERM during a write through the command line: pulse ended, idle, chip file whole.
head -c 256 /dev/urandom >image.rom
PT4_PORT=sim:chip.bin PT4_TRACE=kill.log "$cli" write image.rom --mask full --quiet >/dev/null 2>&1 &
pid=$!
sleep 2
kill -TERM $pid
wait $pid
rc=$?
check "signal exit code" [ "$rc" -eq 143 ]
check "trace ends idle after a signal" [ "$(writes kill.log | tail -9)" = "$reset9" ]
check "chip file whole" [ "$(stat -c %s chip.bin)" -eq 256 ]

# The same on the window program, idle between passes.
QT_QPA_PLATFORM=offscreen PT4_PORT=sim PT4_TRACE=gkill.log "$prog" >/dev/null 2>&1 &
pid=$!
sleep 1.5
kill -TERM $pid
wait $pid
rc=$?
check "window program signal exit code" [ "$rc" -eq 143 ]
check "window trace ends idle" [ "$(writes gkill.log | tail -9)" = "$reset9" ]

# pt4cli: write, read back, compare.
rm -f chip.bin
PT4_PORT=sim:chip.bin "$cli" write image.rom --mask full --time 2 --quiet >/dev/null 2>&1
check "write exit code" [ $? -eq 0 ]
PT4_PORT=sim:chip.bin "$cli" read back.rom --mask full >sig.txt 2>/dev/null
python3 - image.rom back.rom <<'PY' || fail=$((fail + 1))
import sys
a, b = (open(p, 'rb').read() for p in sys.argv[1:3])
sys.exit(0 if bytes(x & 0x0F for x in a) == b else 1)
PY
# The signature from checksum's first line, "Signature D8BC (mask 0Fh)".
sig() { "$cli" checksum "$@" | head -1 | cut -d' ' -f2; }
check "signature of read" [ "$(cat sig.txt)" = "$(sig back.rom --mask full)" ]

# A chip bit the image lacks: bad, exit 2, the red line's text.
python3 -c "import sys; sys.stdout.buffer.write(bytes(256))" >zero.rom
python3 -c "import sys; sys.stdout.buffer.write(bytes([3]) + bytes(255))" >blown.bin
PT4_PORT=sim:blown.bin "$cli" verify zero.rom --mask full >report.txt 2>/dev/null
check "verify exit 2 on a bad byte" [ $? -eq 2 ]
check "the bad line" grep -qx ' 00000 : 00   00000000   <>   00000011   03 ' report.txt
check "bad summary" grep -qx ' 1 bad , impossible to overwrite.' report.txt
PT4_PORT=sim:blown.bin "$cli" blank --mask full >/dev/null 2>&1
check "blank finds the blown word" [ $? -eq 2 ]

# Checksums of the worked values.
python3 -c "import sys; sys.stdout.buffer.write(bytes(range(256)))" >ramp.rom
python3 -c "import sys; sys.stdout.buffer.write(bytes([0xFF]*256))" >ff.rom
check "checksum of a ramp" [ "$(sig ramp.rom --mask full)" = "D8BC" ]
check "checksum of zeros" [ "$(sig zero.rom)" = "0000" ]
python3 -c "import sys; sys.stdout.buffer.write(bytes([0x0F]*256))" >0f.rom
check "checksum of 0F under full" [ "$(sig 0f.rom --mask full)" = "A077" ]
check "checksum of 0F under low" [ "$(sig 0f.rom)" = "806C" ]
check "checksum names the mask" [ "$("$cli" checksum 0f.rom | head -1)" = "Signature 806C (mask 03h)" ]
check "dump rows" [ "$("$cli" dump 0f.rom --mask lh | head -1)" = " 00000 : 0C 0C 0C 0C 0C 0C 0C 0C 0C 0C 0C 0C 0C 0C 0C 0C = ................" ]

# Bad input.
"$cli" verify missing.rom >/dev/null 2>err.txt
check "missing file exit 3" [ $? -eq 3 ]
check "missing file message" grep -q "File not found" err.txt
"$cli" write image.rom --mask middle >/dev/null 2>err.txt
check "bad option exit 3" [ $? -eq 3 ]
"$cli" frobnicate >/dev/null 2>&1
check "bad command exit 3" [ $? -eq 3 ]
PT4_PORT=lpt1 "$cli" blank >/dev/null 2>err.txt
check "port error exit 4" [ $? -eq 4 ]

finish e2e
