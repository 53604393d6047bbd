#!/usr/bin/env bash
# pt4cli.exe under Wine beside the Linux pt4cli: on the simulator the same
# results, texts, files and exit codes for read, verify, write, blank,
# checksum, dump and convert; through the InpOut32 interface (a stand-in DLL
# that logs every Out32 and Inp32) the same port accesses, one by one, as the
# Linux trace of the same passes; Ctrl+C in a pass ends with the programmer
# idle; a missing DLL, a driver not installed and one Windows did not start are
# each said plainly; a DLL planted in the working folder or on PATH never runs.
# The program asks Windows for nothing a stock Windows lacks (zlib1.dll above all).
#   run.sh LINUX_PT4CLI PT4CLI_EXE STANDIN_DLL WINEPREFIX PLANTED_DLL
set -u
linux=$(realpath "$1")
exe=$(realpath "$2")
dll=$(realpath "$3")
planted=$(realpath "$5")
export WINEPREFIX=$4 WINEDEBUG=-all
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../e2e/lib.sh
source "$here/../e2e/lib.sh"
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
[ -n "$wine" ] || { echo "windows: wine64 is missing (tools/pt4 installs it)"; exit 1; }
mkdir -p "$WINEPREFIX"
# What the program needs of Windows: only DLLs that every Windows 10 and 11 has.
check "pt4cli.exe imports only Windows' own DLLs" "$here/imports.sh" "$exe"
# The program beside its DLL, as a user unpacks it; a second copy with no DLL at all.
mkdir win nodll
cp "$exe" win/pt4cli.exe
cp "$exe" nodll/pt4cli.exe
win() { "$wine" "$work/win/pt4cli.exe" "$@"; }
steps() { grep -o '\(in\|out\) 0x[0-9A-F]* 0x[0-9A-F]*' "$1"; }

python3 -c "import random, sys; random.seed(7); sys.stdout.buffer.write(bytes(random.randrange(16) for _ in range(256)))" >image.rom
python3 -c "import sys; sys.stdout.buffer.write(bytes(range(256)))" >ramp.rom
python3 -c "import sys; sys.stdout.buffer.write(bytes([3]) + bytes(255))" >blown.bin

# The same commands on both, each in a folder of its own: output, exit code, files.
same() {  # same NAME ARGS...: run on both with PT4_PORT from the caller, compare
  local name=$1
  shift
  mkdir -p "L-$name" "W-$name"
  for d in "L-$name" "W-$name"; do cp image.rom ramp.rom blown.bin "$d/"; done
  (cd "L-$name" && "$linux" "$@" >out.txt 2>err.txt; echo $? >rc.txt)
  (cd "W-$name" && win "$@" >out.txt 2>err.txt; echo $? >rc.txt)
  # Wine's own client losing its server (seen under heavy load) is not the
  # program's fault: that run alone is repeated once, and said.
  if grep -q '^wine client error' "W-$name/err.txt"; then
    echo "windows: $name: Wine lost its server ($(grep -m1 '^wine client error' "W-$name/err.txt")); once more"
    rm -rf "W-$name" && mkdir "W-$name" && cp image.rom ramp.rom blown.bin "W-$name/"
    (cd "W-$name" && win "$@" >out.txt 2>err.txt; echo $? >rc.txt)
  fi
  check "$name: the same exit code ($(cat "L-$name/rc.txt") and $(cat "W-$name/rc.txt"))" \
    cmp -s "L-$name/rc.txt" "W-$name/rc.txt"
  check "$name: the same output" cmp -s "L-$name/out.txt" "W-$name/out.txt"
  [ "$(cat "L-$name/rc.txt")" = "$(cat "W-$name/rc.txt")" ] || cat "W-$name/err.txt"
  for f in "L-$name"/*; do
    case $(basename "$f") in out.txt | err.txt | rc.txt) continue ;; esac
    check "$name: the same $(basename "$f")" cmp -s "$f" "W-$name/$(basename "$f")"
  done
}
same checksum checksum ramp.rom --mask full
same checksum-json checksum image.rom --json
same dump dump image.rom --mask lh
same convert convert ramp.rom conv.s19
same convert-back convert image.rom back.hex --mask full
export PT4_PORT=sim:chip.bin
same write write image.rom --mask full --time 1 -q
same blank blank
PT4_PORT=sim:blown.bin same verify-bad verify ramp.rom --mask full
PT4_PORT=sim:blown.bin same refused write image.rom --mask full --time 1
PT4_PORT=sim same read read read.hex --mask full
unset PT4_PORT
same usage write image.rom --mask middle

# The port through the InpOut32 interface: what the driver saw, access by access,
# against the Linux trace of the same pass on the simulator.
cp "$dll" win/inpoutx64.dll
for run in "blank" "write image.rom --mask full --time 1 --cycles 2 -q"; do
  name=${run%% *}
  rm -f "$name.dll.log" "$name.linux.log"
  # shellcheck disable=SC2086
  (cd win && cp ../image.rom . && PT4_INPOUT_LOG="$work/$name.dll.log" win $run --port direct >/dev/null 2>&1)
  # shellcheck disable=SC2086
  PT4_PORT=sim PT4_TRACE="$name.linux.log" "$linux" $run >/dev/null 2>&1
  check "$name through inpoutx64.dll: $(steps "$name.dll.log" | wc -l) accesses as on Linux" \
    cmp -s <(steps "$name.dll.log") <(steps "$name.linux.log")
  check "$name through inpoutx64.dll: ends idle" ends_idle "$name.dll.log"
done
# No port named: Windows has no ppdev, so the driver at 0x378 is the port.
(cd win && PT4_INPOUT_LOG="$work/default.dll.log" win blank >/dev/null 2>&1)
check "no port named: the InpOut32 driver at 0x378" cmp -s <(steps default.dll.log) <(steps blank.dll.log)

# Ctrl+C in a write: the pass drops the pulse, sets the programmer idle, exit 130.
rm -f stop.dll.log
(cd win && PT4_INPOUT_LOG="$work/stop.dll.log" exec "$wine" "$work/win/pt4cli.exe" write image.rom \
  --mask full --time 3 --port direct -q >/dev/null 2>"$work/stop.err") &
pid=$!
for _ in $(seq 100); do [ -f stop.dll.log ] && [ "$(grep -c 'out 0x37A 0x0B' stop.dll.log)" -gt 4 ] && break; sleep 0.1; done
kill -INT $pid
wait $pid
check "Ctrl+C: exit 130" [ $? -eq 130 ]
check "Ctrl+C: said so" grep -q 'stopped by signal 2; the programmer is idle' stop.err
check "Ctrl+C: the pulse dropped first" [ "$(writes stop.dll.log | tail -12 | head -3)" = "$pulseoff" ]
check "Ctrl+C: the driver saw the idle writes last" ends_idle stop.dll.log

# Without the DLL, and with a driver that is not installed: what to do, exit 4.
"$wine" "$work/nodll/pt4cli.exe" probe --port direct >nodll.txt 2>&1
check "no DLL: exit 4" [ $? -eq 4 ]
check "no DLL: the simulator first, then what to install beside the program started" \
  grep -q "inpoutx64.dll, the InpOut32 driver.s DLL, was not found. To try it without a programmer, give --port sim. For the port, install the InpOut32 driver .*put inpoutx64.dll beside pt4cli.exe; DRIVER.txt" nodll.txt
PT4_INPOUT_CLOSED=1 win blank --port direct >closed.txt 2>&1
check "driver closed: exit 4" [ $? -eq 4 ]
check "driver closed: administrator once" grep -q 'needs installing once by an administrator' closed.txt
# A driver installed but not started (memory integrity, the blocklist): its own
# text, naming the switch that is on here.
"$wine" sc create inpoutx64 type= kernel start= demand binPath= 'C:\windows\system32\drivers\inpoutx64.sys' >/dev/null 2>&1
"$wine" reg add 'HKLM\SYSTEM\CurrentControlSet\Control\DeviceGuard\Scenarios\HypervisorEnforcedCodeIntegrity' \
  /v Enabled /t REG_DWORD /d 1 /f >/dev/null 2>&1
PT4_INPOUT_CLOSED=1 win blank --port direct >blocked.txt 2>&1
check "driver not started: exit 4" [ $? -eq 4 ]
check "driver not started: says Windows did not start it" grep -q 'installed, but Windows did not start it' blocked.txt
check "driver not started: memory integrity on here" grep -q 'on this machine memory integrity is on' blocked.txt
check "driver not started: not told to install it" bash -c "! grep -q 'needs installing once' blocked.txt"
"$wine" sc delete inpoutx64 >/dev/null 2>&1
"$wine" reg delete 'HKLM\SYSTEM\CurrentControlSet\Control\DeviceGuard' /f >/dev/null 2>&1

# A DLL of the driver's name in the working folder and on PATH: never loaded.
mkdir -p downloads onpath
cp "$planted" downloads/inpoutx64.dll
cp "$planted" onpath/inpoutx64.dll
(cd downloads && WINEPATH="$("$wine" winepath -w "$work/onpath" 2>/dev/null)" \
  "$wine" "$work/nodll/pt4cli.exe" probe --port direct >../planted.txt 2>&1)
check "planted DLL: its code never ran" [ ! -e downloads/planted-ran ]
check "planted DLL: the DLL is not found" grep -q 'inpoutx64.dll, the InpOut32 driver.s DLL, was not found' planted.txt

win blank --port /dev/parport0 >ppdev.txt 2>&1
check "a Linux port name on Windows: says where to turn" grep -q 'InpOut32 driver: choose it with --port direct' ppdev.txt

# Wine brings a zlib1.dll that a stock Windows has not, and its own user32.dll
# needs it, so it cannot be turned off for a whole run. Turned off for one start,
# the loader names every module that asks for it: Wine's, never the program.
WINEDEBUG=+loaddll WINEDLLOVERRIDES="zlib1=d" "$wine" "$work/win/pt4cli.exe" --version >/dev/null 2>loaddll.txt
check "Wine's zlib1.dll turned off: Wine's own modules ask for it" grep -q 'zlib1.dll (which is needed by' loaddll.txt
check "Wine's zlib1.dll turned off: pt4cli.exe never asks for it" \
  bash -c "! grep -i 'zlib1.dll (which is needed by' loaddll.txt | grep -qi 'pt4cli.exe'"

finish windows
