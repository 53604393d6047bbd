#!/usr/bin/env bash
# What a Windows user unzips: texts in Windows' own form that speak of Windows,
# and the simulator one double-click away.
#   zip_texts.sh UNPACKED_FOLDER
set -u
dir=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../e2e/lib.sh
source "$here/../e2e/lib.sh"
cmdfile="$dir/Pt4prog (simulated programmer).cmd"
check "README.txt is there, with CRLF line ends" bash -c "[ -s '$dir/README.txt' ] && ! grep -qv \$'\\r\$' '$dir/README.txt'"
check "README.txt names the simulator's shortcut and DRIVER.txt" \
  bash -c "grep -q 'Pt4prog (simulated programmer).cmd' '$dir/README.txt' && grep -q DRIVER.txt '$dir/README.txt'"
for f in README.txt MANUAL.txt DRIVER.txt; do
  check "$f: no Linux-only words" bash -c "! grep -Eiq 'ppdev|/dev/parport|SCHED_FIFO|dpkg|/usr/share|sudo|group lp' '$dir/$f'"
  check "$f: no hyphenation marks" bash -c "! grep -q \$'\\u2010' '$dir/$f'"
done
version=$(sed -n 's/^project(pt4prog VERSION \([0-9.]*\).*/\1/p' "$here/../../CMakeLists.txt")
check "MANUAL.txt: the build's version" grep -q "pt4prog $version" "$dir/MANUAL.txt"
check "the simulator's shortcut sets the port and starts the program beside it" \
  bash -c "grep -q '^set PT4_PORT=sim' \"$cmdfile\" && grep -q '\"%~dp0pt4prog.exe\"' \"$cmdfile\""
check "DRIVER.txt: where to get the driver and the two settings' places" \
  bash -c "grep -q 'its makers' '$dir/DRIVER.txt' && grep -q 'Core isolation details > Memory integrity' '$dir/DRIVER.txt' && grep -q 'Vulnerable Driver Blocklist' '$dir/DRIVER.txt'"
finish zip
