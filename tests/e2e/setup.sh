#!/usr/bin/env bash
# tools/pt4's installs, with apt-get, dpkg-query, sudo and cmake stood in: on a
# machine that has nothing, `run` asks for what building and running need and
# none of the test bench, and says first how much that is; `check` asks for no Qt.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$(dirname "$0")/lib.sh"
mkdir bin
cat >bin/dpkg-query <<'SH'
#!/bin/sh
exit 1
SH
cat >bin/apt-get <<'SH'
#!/bin/sh
echo "$*" >>"$STANDIN_LOG"
case " $* " in
  *" -s "*) for p in "$@"; do case "$p" in -*|install) ;; *) echo "Inst $p (1.0 Debian:12)"; echo "Inst $p-dep (1.0 Debian:12)";; esac; done ;;
  *" --assume-no "*) echo "Need to get 123 MB of archives."; echo "Abort."; exit 1 ;;
esac
exit 0
SH
cat >bin/sudo <<'SH'
#!/bin/sh
exec "$@"
SH
cat >bin/cmake <<'SH'
#!/bin/sh
echo "cmake $*" >>"$STANDIN_LOG"
exit 3
SH
chmod +x bin/*
export STANDIN_LOG="$work/apt.log"

for verb in run check; do
  : >"$STANDIN_LOG"
  PATH="$work/bin:$PATH" "$top/tools/pt4" "$verb" >"$verb.out" 2>&1
  cp "$STANDIN_LOG" "$verb.log"
  grep '^install -y' "$STANDIN_LOG" | tr ' ' '\n' | grep -v '^-' | grep -v '^install$' >"$verb.list"
  n=$(wc -l <"$verb.list")
  check "$verb: installs something" [ "$n" -gt 0 ]
  check "$verb: says first how many packages and how much" \
    grep -q "^Installing $n packages, $((2 * n)) with what they need (123 MB to download): " "$verb.out"
  check "$verb: none of the test bench" \
    bash -c "! grep -E 'wine|qemu|mingw|weston|lintian|debootstrap|clang\$|clang-[0-9]|libclang|xvfb|srecord' $verb.list"
done
check "run: what the windows need" grep -qx qt6-base-dev run.list
check "run: the faces the layout was made for" grep -qx fonts-liberation run.list
check "run: builds the programs without their tests" grep -q -- '^cmake .*-DPT4_BUILD_TESTS=OFF' run.log
check "check: no Qt" bash -c "! grep -q qt6 check.list"
check "check: the format checker" grep -qx clang-format check.list
finish setup
