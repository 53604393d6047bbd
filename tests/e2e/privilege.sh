#!/usr/bin/env bash
# The programs on a machine shared by several people, run by root as an
# administrator would, with another local user planting links and files:
# nothing is written through another user's link, no set-id bit is carried over,
# the port path is checked before it is opened, raw port I/O is never used
# unasked, sudo's root is given up once the port is open, the crash handler
# only idles, and the windows refuse to run with raised privileges.
#   privilege.sh PT4PROG PT4CLI    (PT4PROG empty in a build without the windows)
set -u
prog=""
[ -n "$1" ] && prog=$(realpath "$1")
cli=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
if [ "$(id -u)" -ne 0 ]; then
  echo "privilege: needs root (to be the administrator and to make the other users); skipped"
  exit 0
fi
for tool in useradd userdel setpriv strace setcap sudo; do
  command -v $tool >/dev/null || { echo "privilege: $tool is missing (tools/pt4 installs it)"; exit 1; }
done
# Two ordinary users for the length of the test, and the link protection on;
# both are put back as they were.
victim=pt4v$$
attacker=pt4a$$
old_symlinks=$(cat /proc/sys/fs/protected_symlinks)
rule=/etc/sudoers.d/pt4test$$
cleanup() {
  rm -f "$rule"
  echo "$old_symlinks" >/proc/sys/fs/protected_symlinks
  userdel "$victim" 2>/dev/null
  userdel "$attacker" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# A run killed at its time limit (SIGKILL runs no trap) left its accounts and
# rule behind: those of a run whose process is gone are swept first.
for name in $(cut -d: -f1 /etc/passwd | grep -E '^pt4[av][0-9]+$'); do
  kill -0 "${name#pt4?}" 2>/dev/null || userdel "$name" 2>/dev/null
done
for f in /etc/sudoers.d/pt4test* /etc/sudoers.d/pt4x*; do
  [ -e "$f" ] || continue
  pid=${f##*/pt4test}
  pid=${pid##*/pt4x}
  kill -0 "$pid" 2>/dev/null || rm -f "$f"
done
useradd -M -N -d "$work/home" -s /bin/sh "$victim" || exit 1
useradd -M -N -s /bin/sh "$attacker" || exit 1
# strace and LeakSanitizer both want ptrace: under strace a sanitized build checks
# no leaks.
traced=(env "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" strace)
vuid=$(id -u "$victim")
vgid=$(id -g "$victim")
as() { local who=$1; shift; setpriv --reuid="$who" --regid="$(id -g "$who")" --init-groups "$@"; }
echo 1 >/proc/sys/fs/protected_symlinks
chmod 755 "$work"
mkdir shared lab home
chmod 1777 shared          # sticky and open to all, as /tmp is
chmod 777 lab              # a shared lab folder without the sticky bit
chown "$vuid:$vgid" home
python3 -c "import sys; sys.stdout.buffer.write(bytes(range(16)) * 16)" >image.rom
chmod 644 image.rom
printf 'root: keep me\n' >precious
chmod 644 precious
intact() { [ "$(cat precious)" = "root: keep me" ]; }

# A save as root through another user's link in a sticky folder: refused by the
# kernel's link protection, which the save now lets apply.
as "$attacker" ln -s "$work/precious" shared/out.rom
PT4_PORT=sim "$cli" read shared/out.rom >/dev/null 2>err.txt
check "link in a sticky folder: the read's save is refused" [ $? -eq 3 ]
check "link in a sticky folder: said so" grep -q 'File access denied' err.txt
check "link in a sticky folder: the link's target untouched" intact
"$cli" convert image.rom shared/out.rom >/dev/null 2>&1
check "link in a sticky folder: convert refused too" intact

# A save over a set-id file keeps its bits but the set-id one.
cp image.rom tool && chmod 4755 tool
"$cli" convert image.rom tool --to raw >/dev/null 2>&1
check "save over a setuid file: it is 0755 now" [ "$(stat -c %a tool)" = 755 ]

# The trace and the production log never follow a link, nor truncate another user's file.
as "$attacker" ln -s "$work/precious" lab/trace.log
PT4_PORT=sim PT4_TRACE=lab/trace.log "$cli" blank >/dev/null 2>err.txt
check "trace through a link: a file error, exit 3" [ $? -eq 3 ]
check "trace through a link: said so" grep -q 'trace file lab/trace.log: it is a symbolic link' err.txt
check "trace through a link: the target untouched" intact
as "$attacker" sh -c 'echo theirs >lab/mine.log'
PT4_PORT=sim PT4_TRACE=lab/mine.log "$cli" blank >/dev/null 2>err.txt
check "trace into another user's file: refused" grep -q 'it belongs to another user' err.txt
check "trace into another user's file: not emptied" [ "$(cat lab/mine.log)" = theirs ]
as "$attacker" ln -s "$work/precious" lab/batch.jsonl
PT4_PORT=sim "$cli" write image.rom --mask full --time 1 --repeat --log lab/batch.jsonl </dev/null >/dev/null 2>err.txt
check "log through a link: exit 3" [ $? -eq 3 ]
check "log through a link: the target untouched" intact

# A port path is a parallel port, or it is refused before it is opened for writing.
timeout 20 "${traced[@]}" -f -qq -e trace=openat -o open.txt "$cli" blank --port /dev/null >/dev/null 2>err.txt
check "--port /dev/null: exit 4" [ $? -eq 4 ]
check "--port /dev/null: says what it is" grep -q '/dev/null is not a parallel port: it is a character device (1:3)' err.txt
check "--port /dev/null: never opened to write" bash -c "! grep '\"/dev/null\"' open.txt | grep -q 'O_RDWR\|O_WRONLY'"
mkfifo fifo
timeout 20 "$cli" blank --port "ppdev:$work/fifo" >/dev/null 2>err.txt
check "--port FIFO: no hang, exit 4" [ $? -eq 4 ]
check "--port FIFO: says what it is" grep -q 'is not a parallel port: it is a FIFO' err.txt

# The name is looked at once and the file looked at is the file opened: a link
# flipped between a ppdev node and a FIFO in a private folder never gets the
# FIFO opened for writing (strace -y names the file behind each descriptor).
mkdir -m 700 private && mkfifo private/fifo && mknod node c 99 0
( while :; do ln -sfn "$work/node" flip; ln -sfn "$work/private/fifo" flip; done ) &
flipper=$!
for i in $(seq 300); do
  "${traced[@]}" -f -y -qq -e trace=openat,open -o "race.$i" "$cli" blank --port "ppdev:$work/flip" \
    >/dev/null 2>&1
done
kill $flipper; wait $flipper 2>/dev/null
check "a flipping link: the FIFO never opened for writing ($(cat race.* | grep -c 'O_PATH') lookups)" \
  bash -c "! cat race.* | grep 'O_RDWR\|O_WRONLY' | grep -q 'fifo>'"
check "a flipping link: the node reached, then opened through /proc/self/fd" \
  bash -c "cat race.* | grep -q 'O_PATH) = [0-9]*<$work/node>' && cat race.* | grep -q '\"/proc/self/fd/[0-9]*\", O_RDWR'"
rm -f race.* flip

# Raw port I/O only when asked for: with PT4_PORT unset and no /dev/parport0 here,
# the programs say how to get ppdev, and never call ioperm.
if [ ! -e /dev/parport0 ]; then
  env -u PT4_PORT timeout 20 "${traced[@]}" -f -qq -e trace=ioperm,iopl -o io.txt "$cli" blank >/dev/null 2>err.txt
  check "PT4_PORT unset: exit 4" [ $? -eq 4 ]
  check "PT4_PORT unset: no ioperm" bash -c "! grep -q 'ioperm\|iopl' io.txt"
  check "PT4_PORT unset: says how to ask for direct I/O" grep -q 'PT4_PORT=direct' err.txt
fi
# Under sudo, direct port I/O reaches only a parallel port's registers: the disk
# controller, or an ECR put on it, is refused before ioperm is ever asked.
for value in direct:0x1F0 direct:0x378,ecr=0x3F6; do
  SUDO_UID=$vuid SUDO_GID=$vgid timeout 20 "${traced[@]}" -f -qq -e trace=ioperm,iopl -o io.txt \
    "$cli" blank --port "$value" >/dev/null 2>err.txt
  check "sudo --port $value: exit 4" [ $? -eq 4 ]
  check "sudo --port $value: no ioperm" bash -c "! grep -q 'ioperm\|iopl' io.txt"
  check "sudo --port $value: the listed ports named" grep -q '0x378-0x37F (legacy)' err.txt
done
"$cli" blank --port direct:0xCF8 >/dev/null 2>err.txt
check "the PCI configuration port is no parallel port" grep -q '^pt4cli: --port="direct:0xCF8" is not understood' err.txt

# Under sudo: the port first, then root given back for good, before any file.
mkdir -p home/out && chown "$vuid:$vgid" home/out
SUDO_UID=$vuid SUDO_GID=$vgid PT4_PORT=sim:home/out/chip.bin PT4_TRACE=home/out/cli.log \
  "$cli" read home/out/read.rom >/dev/null 2>err.txt
check "sudo pt4cli: the read worked" [ $? -eq 0 ]
for f in chip.bin cli.log read.rom; do
  check "sudo pt4cli: $f is the user's" [ "$(stat -c %u:%g "home/out/$f")" = "$vuid:$vgid" ]
done
if [ -n "$prog" ]; then
  SUDO_UID=$vuid SUDO_GID=$vgid QT_QPA_PLATFORM=offscreen PT4_PORT=sim PT4_TRACE=home/out/gui.log \
    PT4_STARTUP_PROBE=1 "$prog" >gui.out 2>&1 &
  pid=$!
  for _ in $(seq 100); do grep -q first_paint gui.out && break; sleep 0.1; done
  ids=$(grep -E '^(Uid|Gid):' "/proc/$pid/status" 2>/dev/null | awk '{print $2, $3, $4, $5}' | tr '\n' ' ')
  wait $pid
  check "sudo pt4prog: the window came up" grep -q first_paint gui.out
  check "sudo pt4prog: every uid and gid is the user's ($ids)" \
    [ "$ids" = "$vuid $vuid $vuid $vuid $vgid $vgid $vgid $vgid " ]
  check "sudo pt4prog: its trace is the user's" [ "$(stat -c %u home/out/gui.log)" = "$vuid" ]
  check "sudo pt4prog: the trace ends idle" ends_idle home/out/gui.log
fi

# An administrator's rule that lets the user run pt4cli alone as root grants the
# port and nothing else: every file is opened as the user.
echo "$victim ALL=(root) NOPASSWD: $cli" >"$rule" && chmod 440 "$rule"
python3 -c "import sys; sys.stdout.write('root: secret\n' * 30)" >secret
chmod 600 secret
for cmd in "dump secret" "checksum secret" "convert secret home/out/copy.rom" "verify secret" \
  "write secret" "write image.rom --repeat --log secret" "read secret"; do
  # shellcheck disable=SC2086
  as "$victim" sudo -n "$cli" $cmd --port sim --mask full --time 1 >out.txt 2>err.txt </dev/null
  rc=$?
  check "sudo rule, $cmd: refused" [ $rc -eq 3 ]
  check "sudo rule, $cmd: said why" grep -q 'File access denied\|Permission denied' err.txt
  check "sudo rule, $cmd: no secret shown" bash -c "! grep -q 'secret\|02 0F 0F 04 0A' out.txt"
done
check "sudo rule: the secret untouched, no copy" bash -c "[ ! -e home/out/copy.rom ] && grep -qc secret secret"
# Through the rule itself, the disk controller's ports are no port of pt4cli's.
# (sudo drops ASAN_OPTIONS, so a sanitized build's leak check, which cannot run
# under strace, may change the exit status: the refusal is what is checked.)
timeout 20 "${traced[@]}" -f -qq -e trace=ioperm,iopl -o iosudo.txt \
  setpriv --reuid="$victim" --regid="$vgid" --init-groups \
  sudo -n "$cli" blank --port direct:0x1F0 >/dev/null 2>err.txt
check "sudo rule, direct:0x1F0: refused, no ioperm" \
  bash -c "[ $? -ne 0 ] && ! grep -q 'ioperm\|iopl' iosudo.txt && grep -q '0x1F0-0x1F2 are not' err.txt"
python3 -c "import sys; sys.stdout.write(('%-255s\n' % '$victim ALL=(ALL) NOPASSWD: ALL'))" >payload.rom
chmod 644 payload.rom
as "$victim" sudo -n "$cli" convert payload.rom /etc/sudoers.d/pt4x$$ --to raw >/dev/null 2>&1
check "sudo rule: no file written into /etc/sudoers.d" [ ! -e /etc/sudoers.d/pt4x$$ ]
rm -f /etc/sudoers.d/pt4x$$
as "$victim" sudo -n "$cli" write image.rom --port sim:home/out/sudo.bin --mask full --time 1 -q \
  >/dev/null 2>err.txt
check "sudo rule: a write still programs the simulator" [ $? -eq 0 ]
check "sudo rule: the chip file is the user's" [ "$(stat -c %u home/out/sudo.bin)" = "$vuid" ]

# A crash in a pass: only the idle writes, no file saved from the handler.
rm -f chip.bin
"${traced[@]}" -f -qq -o crash.txt -e trace=rename,renameat,renameat2 -e signal=SIGSEGV \
  env PT4_PORT=sim:chip.bin PT4_TRACE=crash.log "$cli" write image.rom --mask full --time 3 -q \
  >/dev/null 2>&1 &
tracer=$!
# The traced program is strace's own child (env and strace exec in place), never
# another run's; the signal comes once a programming pulse has begun.
child=""
for _ in $(seq 300); do
  child=$(pgrep -P "$tracer" -n)
  [ -n "$child" ] && grep -q 'out 0x37A 0x0B' crash.log 2>/dev/null && break
  sleep 0.1
done
kill -SEGV "$child"
{ wait $tracer; } 2>/dev/null
check "crash: the process died of it" grep -q 'killed by SIGSEGV' crash.txt
check "crash: the trace ends with the pulse dropped" [ "$(writes crash.log | tail -12 | head -3)" = "$pulseoff" ]
check "crash: the trace ends idle" ends_idle crash.log
check "crash: nothing renamed after the signal" \
  bash -c "! sed -n '/SIGSEGV/,\$p' crash.txt | grep -q 'rename'"

if [ -n "$prog" ]; then
  # The windows refuse raised privileges: file capabilities on a copy of pt4prog,
  # run by an ordinary user who names a plugin folder.
  cp "$prog" capprog && chmod 755 capprog
  setcap cap_sys_nice+ep capprog
  mkdir plugins
  as "$victim" env QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$work/plugins" QT_DEBUG_PLUGINS=1 \
    PT4_PORT=sim ./capprog >cap.out 2>&1
  check "file capabilities: exit 1" [ $? -eq 1 ]
  check "file capabilities: one line" [ "$(wc -l <cap.out)" -eq 1 ]
  check "file capabilities: says why" grep -q 'will not open windows because it runs set-id or with file capabilities' cap.out
fi

finish privilege
