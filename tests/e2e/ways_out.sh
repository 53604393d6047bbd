#!/usr/bin/env bash
# Breaking the programs on purpose, as a user's machine would: signals at random
# moments, Ctrl+Z inside a pulse, a closed pipe, a full disk under the trace and
# under the simulated chip. After every way out the trace must end idle.
#   ways_out.sh PT4CLI
set -u
cli=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
trap 'umount "$work/full" 2>/dev/null; rm -rf "$work"' EXIT
# Every bit of the chip is a bit of the image: nothing was blown that was not asked for.
only_pulsed() {
  python3 - "$1" "$2" <<'PY'
import sys
chip, image = (open(p, 'rb').read() for p in sys.argv[1:3])
sys.exit(0 if len(chip) == 256 and all(c & ~(i & 0x0F) == 0 for c, i in zip(chip, image)) else 1)
PY
}
python3 -c "import random, sys; random.seed(7); sys.stdout.buffer.write(bytes(random.randrange(16) for _ in range(256)))" >image.rom

# Every catchable terminating signal, at a random moment of a write.
n=0
for sig in INT TERM HUP QUIT USR1 USR2 ALRM; do
  n=$((n + 1))
  rm -f chip.bin
  PT4_PORT=sim:chip.bin PT4_TRACE=sig.log "$cli" write image.rom --mask full --time 3 -q >/dev/null 2>err.txt &
  pid=$!
  sleep "$(python3 -c "import random; random.seed($n); print(round(random.uniform(1.4, 3.0), 2))")"
  kill -s "$sig" $pid
  wait $pid
  rc=$?
  check "$sig: exit code 128+n" [ "$rc" -eq $((128 + $(kill -l "$sig"))) ]
  check "$sig: trace ends with the idle writes" ends_idle sig.log
  check "$sig: pulse dropped before the idle writes" [ "$(writes sig.log | tail -12 | head -3)" = "$pulseoff" ]
  check "$sig: chip holds only asked-for bits" only_pulsed chip.bin image.rom
  # What it says of the chip is true: the words it calls untouched are blank.
  check "$sig: says which words were programmed, truly" python3 - chip.bin err.txt <<'PY'
import re, sys
said = open(sys.argv[2]).read()
m = re.search(r"words 00-([0-9A-F]{2}) were programmed(, word ([0-9A-F]{2}) was under way)?(, words ([0-9A-F]{2})-FF untouched)?", said)
chip = open(sys.argv[1], "rb").read()
if m:
    sys.exit(0 if not m.group(5) or not any(chip[int(m.group(5), 16):]) else 1)
if "no word was finished" in said:
    sys.exit(0 if not any(chip[1:]) else 1)
# Stopped before the write began (a slow check read) or after it: nothing claimed.
sys.exit(0 if "write was complete" in said or not any(chip) else 1)
PY
done

# A closed pipe: the report cannot be read, the programmer still ends idle.
PT4_PORT=sim PT4_TRACE=pipe.log "$cli" verify image.rom --mask full 2>/dev/null | head -1 >/dev/null
rc=${PIPESTATUS[0]}
check "closed pipe: an ordinary exit" [ "$rc" -le 2 ]
check "closed pipe: trace ends idle" ends_idle pipe.log

# Ctrl+Z inside a pulse: the pass finishes the pulse, sets the programmer idle,
# and only then stops; on continue it redoes the address and the chip comes out whole.
python3 -c "import sys; sys.stdout.buffer.write(bytes([15] * 4 + [0] * 252))" >few.rom
rm -f chip.bin
# A process group of its own with this script as parent, as a shell's job is: the
# kernel discards stop signals to an orphaned group, which no one could continue.
set -m
PT4_PORT=sim:chip.bin PT4_TRACE=stop.log "$cli" write few.rom --mask full --time 150 --cycles 3 >out.txt 2>err.txt &
pid=$!
set +m
sleep 1.8
kill -TSTP $pid
stopped=no
for _ in $(seq 50); do
  if [ "$(awk '{print $3}' /proc/$pid/stat 2>/dev/null)" = T ]; then stopped=yes; break; fi
  sleep 0.1
done
check "Ctrl+Z: the process stops" [ "$stopped" = yes ]
sleep 0.3
check "Ctrl+Z: idle while stopped" ends_idle stop.log
sleep 1
kill -CONT $pid
wait $pid
rc=$?
check "Ctrl+Z: the write goes on and ends identical" [ "$rc" -eq 0 ]
# Judged from the trace, not the clock: the longest silence in it is the stop, and
# the writes just before it are the idle writes, so neither a pulse nor the
# programming voltage was held over it, however busy the machine was.
held() {
  python3 - "$1" "$reset9" <<'PY'
import sys
lines = [l.split() for l in open(sys.argv[1]) if l.strip()]
gaps = [float(b[0]) - float(a[0]) for a, b in zip(lines, lines[1:])]
at = max(range(len(gaps)), key=gaps.__getitem__)
before = [" ".join(l[1:]) for l in lines[:at + 1] if l[1] == "out"][-9:]
sys.exit(0 if "\n".join(before) == sys.argv[2] and gaps[at] > 1.0 else 1)
PY
}
check "Ctrl+Z: no pulse nor voltage held over the stop" held stop.log
check "Ctrl+Z: chip as asked" cmp -s chip.bin <(python3 -c "import sys; sys.stdout.buffer.write(bytes([15] * 4 + [0] * 252))")

# A trace on a full disk: said once when it happens, and the outcome is a file
# error, not a success. The simulated chip on a full disk: the pass ends with an
# error, not "identical".
mkdir full
if mount -t tmpfs -o size=12k tmpfs full 2>/dev/null; then
  head -c 12288 /dev/zero >full/filler 2>/dev/null
  PT4_PORT=sim PT4_TRACE=full/trace.log "$cli" blank >/dev/null 2>err.txt
  rc=$?
  check "full trace: a file error, exit 3" [ "$rc" -eq 3 ]
  check "full trace: said once" [ "$(grep -c 'trace could not be written' err.txt)" -eq 1 ]
  # A chip file is rewritten in place, so a disk that fills up later cannot take
  # it (the core tests fail its writes with a file-size limit); one that cannot
  # be made is refused before the port is touched.
  rm -f full/trace.log
  PT4_PORT=sim:full/chip.bin PT4_TRACE=full.log "$cli" write image.rom --mask full --time 2 -q >/dev/null 2>err.txt
  rc=$?
  check "full chip disk: a file error, exit 3" [ "$rc" -eq 3 ]
  check "full chip disk: names the file" grep -q "Cannot create the chip file full/chip.bin" err.txt
  check "full chip disk: the port untouched" [ ! -s full.log ]
  umount full
else
  echo "note: no tmpfs mount here; the full disks are covered by the core tests"
fi

finish "ways out"
